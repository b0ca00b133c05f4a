#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/support/TempDir.h"

namespace testing_support {

// A qtr77-sim process publishing its port as `link`; stopped with SIGTERM on destruction.
class SimProcess {
 public:
  SimProcess(const std::string& link, const std::vector<std::string>& options);
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  bool ready() const { return ready_; }
  // Sends the signal and returns the exit status (or -1 when it did not exit normally).
  int stop(int signal);
  std::string output() const;  // what it printed on stdout so far

 private:
  pid_t pid_ = -1;
  bool ready_ = false;
  std::string outputPath_;
};

struct RunResult {
  int exitCode;
  std::string stderrText;
};

// Runs qtr77-sim to the end with these arguments (for argument errors).
RunResult runSim(const std::vector<std::string>& args);

}  // namespace testing_support
