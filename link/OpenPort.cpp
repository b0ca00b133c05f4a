#include "link/OpenPort.h"

namespace comm {

std::uint8_t platformParity(int parityCode) {
  switch (parityCode) {
    case 1:
      return kEvenParity;
    case 2:
      return kOddParity;
    default:
      return kNoParity;
  }
}

void applyLineSettings(LineConfig& config, int baud, int parityCode) {
  config.baudRate = static_cast<std::uint32_t>(baud);
  config.byteSize = 8;
  config.parity = platformParity(parityCode);
  config.stopBits = kOneStopBit;
  config.fBinary = true;
  // Set with no parity too: the unit's line never carries parity errors worth keeping.
  config.fParity = true;
  config.fOutxCtsFlow = false;
  config.fOutxDsrFlow = false;
  config.fDtrControl = kDtrControlDisable;
  config.fDsrSensitivity = false;
  config.fTXContinueOnXoff = false;
  config.fOutX = false;
  config.fInX = false;
  config.fErrorChar = false;
  config.fNull = false;
  config.fRtsControl = kRtsControlDisable;
  config.fAbortOnError = false;
}

CommTimeouts portTimeouts(int timeoutMs) {
  CommTimeouts timeouts;
  timeouts.readTotalTimeoutConstant = static_cast<std::uint32_t>(timeoutMs);
  timeouts.writeTotalTimeoutConstant = static_cast<std::uint32_t>(timeoutMs);
  return timeouts;
}

int openPort(PortHandle& portHandle, SerialSystem& system, std::int32_t portNumber,
             std::int32_t baud, std::int32_t parityCode, std::int32_t timeoutMs) {
  if (portNumber < kFirstPortNumber || portNumber > kLastPortNumber || baud < kLowestBaud ||
      baud > kHighestBaud || parityCode < 0 || parityCode > 2) {
    return kOpenBadArgument;
  }

  // Close before opening: the device is opened without sharing, so reopening the same port
  // would otherwise fail against our own handle.
  portHandle.reset();
  portHandle = system.open(deviceName(portNumber));
  if (!portHandle) return kOpenDeviceFailed;

  LineConfig config;
  if (!portHandle->getLineConfig(config)) return kOpenGetStateFailed;
  applyLineSettings(config, baud, parityCode);
  if (!portHandle->setLineConfig(config)) return kOpenSetStateFailed;
  if (!portHandle->setTimeouts(portTimeouts(timeoutMs))) return kOpenTimeoutsFailed;
  return kOpenOk;
}

}  // namespace comm
