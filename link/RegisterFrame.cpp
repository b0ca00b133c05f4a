#include "link/RegisterFrame.h"

#include <span>

#include "link/Crc16.h"
#include "link/RegisterMap.h"

namespace comm {

std::uint16_t checkValue(const std::uint8_t* firstSix, bool maintenanceWrite,
                         std::uint16_t maintenanceKey) {
  std::uint16_t crc = crc16Modbus(std::span<const std::uint8_t>(firstSix, 6));
  if (maintenanceWrite) crc = static_cast<std::uint16_t>(crc + maintenanceKey);
  return crc;
}

FrameBytes RegisterFrame::encode(std::uint16_t maintenanceKey) const {
  FrameBytes b{station,
               function,
               static_cast<std::uint8_t>(fieldA >> 8),
               static_cast<std::uint8_t>(fieldA & 0xFF),
               static_cast<std::uint8_t>(fieldB >> 8),
               static_cast<std::uint8_t>(fieldB & 0xFF),
               0,
               0};
  const std::uint16_t check = checkValue(b.data(), isMaintenanceWrite(), maintenanceKey);
  b[6] = static_cast<std::uint8_t>(check & 0xFF);
  b[7] = static_cast<std::uint8_t>(check >> 8);
  return b;
}

RegisterFrame unitInfoRead() {
  return {FrameKind::unitInfoRead, kMaintenanceStation, kFunctionRead, kUnitInfoRegister, 0};
}

RegisterFrame readEepromBlock(std::uint16_t blockRegister) {
  return {FrameKind::readEepromBlock, kMaintenanceStation, kFunctionRead, blockRegister, 0};
}

RegisterFrame commSettingsWrite(std::uint8_t newStation, std::uint8_t lineByte) {
  return {FrameKind::commSettingsWrite, kMaintenanceStation, kFunctionWrite,
          static_cast<std::uint16_t>(kUnitInfoRegister + newStation),
          static_cast<std::uint16_t>(lineByte << 8)};
}

RegisterFrame writeEepromCell(std::uint8_t cell, std::uint16_t value) {
  return {FrameKind::writeEepromCell, kMaintenanceStation, kFunctionWrite,
          static_cast<std::uint16_t>(kEepromCellRegister + cell), value};
}

RegisterFrame registerRead(std::uint8_t station, std::uint16_t firstRegister, std::uint16_t count) {
  return {FrameKind::registerRead, station, kFunctionRead, firstRegister, count};
}

RegisterFrame registerWrite(std::uint8_t station, std::uint16_t reg, std::int16_t value) {
  return {FrameKind::registerWrite, station, kFunctionWrite, reg,
          static_cast<std::uint16_t>(value)};
}

}  // namespace comm
