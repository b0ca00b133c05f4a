#pragma once

#include <string>

#include "link/SerialPort.h"

namespace comm {

// Serial devices through termios. Windows names are resolved as Wine does: "COMn" and
// "\\.\COMn" are links named COMn in a ports folder (tests point it at their pseudo-terminals);
// without one, COMn is /dev/ttyS{n-1}.
class PosixSerialSystem final : public SerialSystem {
 public:
  explicit PosixSerialSystem(std::string portsFolder = {}) : portsFolder_(std::move(portsFolder)) {}

  PortHandle open(const std::string& deviceName) override;
  std::string devicePath(int portNumber) const;

 private:
  std::string portsFolder_;
};

}  // namespace comm
