#include <cstdio>

#include "platform/Platform.h"

namespace platform {

bool VirtualPlatform::writeNewFile(const std::string& folder, const std::string& name,
                                   std::string_view bytes) {
  const std::string path = folder + "/" + name;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool wrote = !diskFull && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool closed = std::fclose(file) == 0;
  if (wrote && closed) return true;
  std::remove(path.c_str());
  return false;
}

}  // namespace platform
