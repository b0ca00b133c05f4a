#pragma once

#include <cstdint>
#include <span>

namespace comm {

// CRC-16/MODBUS: start 0xFFFF, reflected polynomial 0xA001, no final exclusive-or.
std::uint16_t crc16Modbus(std::span<const std::uint8_t> bytes);

}  // namespace comm
