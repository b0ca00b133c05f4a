#pragma once

#include <cstdint>
#include <string>

#include "link/DeviceName.h"
#include "link/SerialPort.h"

namespace comm {

// Results of openPort.
inline constexpr int kOpenOk = 0;
inline constexpr int kOpenDeviceFailed = -1;    // absent, or held by another program
inline constexpr int kOpenGetStateFailed = -2;  // the new handle stays, unconfigured
inline constexpr int kOpenSetStateFailed = -3;  // the new handle stays, driver's line settings
inline constexpr int kOpenTimeoutsFailed = -4;  // the new handle stays, driver's time-outs
inline constexpr int kOpenBadArgument = -10;    // nothing touched, the previous port stays

inline constexpr int kFirstPortNumber = 1;
inline constexpr int kLastPortNumber = 39;
inline constexpr int kLowestBaud = 9600;
inline constexpr int kHighestBaud = 57600;

// The unit's parity code (0 none, 1 even, 2 odd) as the DCB's parity value.
std::uint8_t platformParity(int parityCode);

// The line settings and time-outs that openPort applies over what the driver reports.
void applyLineSettings(LineConfig& config, int baud, int parityCode);
CommTimeouts portTimeouts(int timeoutMs);

// (Re)opens port `portNumber` at `baud` with `parityCode` and a read and write time-out of
// `timeoutMs`, and makes it the program's one open port in `portHandle`. The previous port is
// closed first on every call that passes the argument checks, the same port included, so a
// reopen of the held port succeeds. A failure after the device opened leaves that handle in
// place, half configured, as the result codes above say.
int openPort(PortHandle& portHandle, SerialSystem& system, std::int32_t portNumber,
             std::int32_t baud, std::int32_t parityCode, std::int32_t timeoutMs);

}  // namespace comm
