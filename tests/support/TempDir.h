#pragma once

#include <string>

namespace testing_support {

// A private folder that is removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The whole content of a file, byte for byte; empty when it cannot be read.
std::string readFile(const std::string& path);

}  // namespace testing_support
