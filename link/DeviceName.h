#pragma once

#include <optional>
#include <string>

namespace comm {

// "COM1".."COM9"; from 10 on the device-namespace form "\\.\COM10", which Windows needs for
// two-digit port numbers.
std::string deviceName(int portNumber);

// The port number in "COM3" or "\\.\COM12", accepted as Windows accepts them: the plain form
// only for COM1..COM9. Nothing for any other name.
std::optional<int> parseDeviceName(const std::string& name);

}  // namespace comm
