#pragma once

#include <array>
#include <cstdint>

#include "link/RegisterMap.h"
#include "link/SerialPort.h"

#ifndef QTR77_MAINTENANCE_KEY
#error "QTR77_MAINTENANCE_KEY comes from the CMake cache variable of the same name"
#endif

// The one record that every dialog shares: the open port and the settings it was opened with,
// what the unit reported about itself during the search, and the unit's registers as last read
// or as about to be written. Dialogs get it by reference; nobody keeps a private copy of the
// port, and every transaction takes the handle from here at the moment it runs.
struct DeviceState {
  // The open serial port; empty means that no port is open. Only openPort replaces it.
  comm::PortHandle portHandle;

  // Version of this tool x 100; the main window's title shows it as 1.14.
  static constexpr std::int16_t toolVersion = 114;
  // Added to the check of every maintenance write; the unit ignores such writes without it.
  // Never shown, never logged.
  static constexpr std::uint16_t maintenanceKey = QTR77_MAINTENANCE_KEY;

  std::int32_t portNumber = 0;  // COM number on which the unit answered the search
  std::int32_t portBaud = 0;    // bit/s with which the port is (re)opened
  std::int32_t portParity =
      0;  // parity code with which the port is (re)opened, 0 none 1 even 2 odd
  std::int32_t portTimeout = 0;  // read and write time-out in ms chosen in the main window

  std::int16_t unitAddress = 0;  // station address 1..99; station byte of register frames
  std::int16_t speedCode = 0;
  std::int16_t parityCode = 0;
  std::int16_t delayCode = 0;
  std::int16_t masterVersion = 0;  // master firmware version x 100, non-zero once identified
  std::int16_t supplyVoltageCode = 0;
  std::int16_t controlMethodCode = 0;

  // controlRegs[i] is register 0x0300 + i; specRegs[i] is register 0x0044 + i.
  std::array<std::int16_t, comm::kControlRegisterCount> controlRegs{};
  std::array<std::int16_t, comm::kSpecRegisterCount> specRegs{};

  // 1 after a control-parameter write sequence succeeded, 0 after one failed; the control
  // editor's timer acts on it and clears it.
  std::int16_t writeDoneFlag = 0;
};
