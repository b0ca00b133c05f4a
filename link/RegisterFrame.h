#pragma once

#include <array>
#include <cstdint>

namespace comm {

inline constexpr std::uint8_t kMaintenanceStation = 0xFF;
inline constexpr std::uint8_t kFunctionRead = 0x03;
inline constexpr std::uint8_t kFunctionWrite = 0x06;

// Every request the program sends is one of these.
enum class FrameKind {
  unitInfoRead,
  readEepromBlock,
  commSettingsWrite,
  writeEepromCell,
  registerRead,
  registerWrite,
};

using FrameBytes = std::array<std::uint8_t, 8>;

// A request: station, function, two 16-bit fields sent high byte first, and the check, low
// byte first. Field A is the register (or maintenance block and index), field B the count of
// a read or the value of a write.
struct RegisterFrame {
  FrameKind kind;
  std::uint8_t station;
  std::uint8_t function;
  std::uint16_t fieldA;
  std::uint16_t fieldB;

  // Writes to the maintenance station carry the maintenance key in their check; the unit
  // ignores such a write without it.
  bool isMaintenanceWrite() const {
    return station == kMaintenanceStation && function == kFunctionWrite;
  }
  // The 8 bytes on the wire.
  FrameBytes encode(std::uint16_t maintenanceKey) const;
};

// CRC-16/MODBUS of the first six bytes, plus the key for a maintenance write (16-bit addition,
// so a carry out of the low byte reaches the high byte).
std::uint16_t checkValue(const std::uint8_t* firstSix, bool maintenanceWrite,
                         std::uint16_t maintenanceKey);

RegisterFrame unitInfoRead();
// blockRegister: 0x1D00, 0x1E00 or 0x1F00.
RegisterFrame readEepromBlock(std::uint16_t blockRegister);
RegisterFrame commSettingsWrite(std::uint8_t newStation, std::uint8_t lineByte);
RegisterFrame writeEepromCell(std::uint8_t cell, std::uint16_t value);
RegisterFrame registerRead(std::uint8_t station, std::uint16_t firstRegister, std::uint16_t count);
RegisterFrame registerWrite(std::uint8_t station, std::uint16_t reg, std::int16_t value);

}  // namespace comm
