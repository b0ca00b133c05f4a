#include "link/DeviceName.h"

#include <string_view>

namespace comm {

std::string deviceName(int portNumber) {
  std::string name = "COM" + std::to_string(portNumber);
  return portNumber >= 10 ? "\\\\.\\" + name : name;
}

std::optional<int> parseDeviceName(const std::string& name) {
  std::string_view rest = name;
  const bool deviceNamespace = rest.starts_with("\\\\.\\");
  if (deviceNamespace) rest.remove_prefix(4);
  if (!rest.starts_with("COM")) return std::nullopt;
  rest.remove_prefix(3);
  if (rest.empty() || rest.size() > 3 || rest.front() == '0') return std::nullopt;
  int number = 0;
  for (char c : rest) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + (c - '0');
  }
  if (!deviceNamespace && number > 9) return std::nullopt;
  return number;
}

}  // namespace comm
