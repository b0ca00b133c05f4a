#pragma once

#include "link/SerialPort.h"

namespace comm {

// COM ports through the Win32 communications API, synchronous, no overlapped I/O.
class Win32SerialSystem final : public SerialSystem {
 public:
  PortHandle open(const std::string& deviceName) override;
};

}  // namespace comm
