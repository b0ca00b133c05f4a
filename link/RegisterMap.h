#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace comm {

// Maintenance area, reached through station 0xFF whatever the unit's own address is.
inline constexpr std::uint16_t kUnitInfoRegister = 0x1C00;    // read: unit information block
inline constexpr std::uint16_t kEepromCellRegister = 0x1D00;  // write: + cell number 0..255

// Register groups at the unit's own station address.
inline constexpr std::uint16_t kSpecFirstRegister = 0x0044;  // g_SPC_CTRL .. g_SPC_COM
inline constexpr std::size_t kSpecRegisterCount = 9;
inline constexpr std::uint16_t kScaleOptionRegister = 0x004C;   // g_SPC_COM
inline constexpr std::int16_t kScaleOptionPresent = 3;          // register 0x0314 exists
inline constexpr std::uint16_t kControlFirstRegister = 0x0300;  // COM_TR1 .. COM_SCALELO
inline constexpr std::size_t kControlRegisterCount = 21;
inline constexpr std::uint16_t kScaleLowRegister = 0x0314;  // COM_SCALELO

// Indices into the product data block, g_SPC_... (register 0x0044 + i).
enum SpecIndex : std::size_t {
  g_SPC_CTRL,
  g_SPC_VOL,
  g_SPC_CUR,
  g_SPC_FB,
  g_SPC_OUT,
  g_SPC_HB,
  g_SPC_FUSE,
  g_SPC_AP,
  g_SPC_COM,
};

// Indices into the control block (register 0x0300 + i).
enum ControlIndex : std::size_t {
  COM_TR1,
  COM_TR2,
  COM_TR3,
  COM_TR4,
  COM_TR5,
  COM_TR6,
  COM_CTRL,
  COM_VR1,
  COM_VR2,
  COM_DI1,
  COM_DI2,
  COM_VR3,
  COM_AP,
  COM_ALM,
  COM_HBALM,
  COM_FB,
  COM_STOP,
  COM_MEM,
  COM_HBWAIT,
  COM_HBCONT,
  COM_SCALELO,
};

// EEPROM: three blocks of 38 cells; cell numbers run on from block to block.
inline constexpr std::size_t kCellsPerBlock = 38;
inline constexpr std::size_t kEepromCellCount = 114;

struct EepromBlock {
  std::string_view name;       // "EEP_DR1"
  std::uint16_t readRegister;  // 0x1D00, 0x1E00, 0x1F00
  std::size_t firstCell;       // 0, 38, 76
};

inline constexpr std::array<EepromBlock, 3> kEepromBlocks{{
    {"EEP_DR1", 0x1D00, 0},
    {"EEP_DR2", 0x1E00, 38},
    {"EEP_DR3", 0x1F00, 76},
}};

// The unit's line settings packed in one byte: bits 0-1 speed code, bits 2-3 parity code,
// bits 4-7 response delay code.
struct LineSettingCodes {
  int speedCode = 0;
  int parityCode = 0;
  int delayCode = 0;

  bool operator==(const LineSettingCodes&) const = default;
};

std::uint8_t packLineByte(const LineSettingCodes& codes);
LineSettingCodes unpackLineByte(std::uint8_t lineByte);

// The unit information block as the answer to unitInfoRead carries it (bytes 2..5).
struct UnitInfo {
  int station = 0;            // byte 2
  LineSettingCodes line;      // byte 3
  int masterVersion = 0;      // byte 4, version x 100
  int supplyVoltageCode = 0;  // byte 5, bits 0-3
  int controlMethodCode = 0;  // byte 5, bits 4-7
};

// Needs at least 6 bytes; the transaction has already checked the length.
UnitInfo decodeUnitInfo(std::span<const std::uint8_t> answer);

// Signed 16-bit register values from a register read answer (value i at bytes 3 + 2i, 4 + 2i),
// and the 38 cells of an EEPROM block answer, laid out the same way.
std::vector<std::int16_t> decodeRegisters(std::span<const std::uint8_t> answer, std::size_t count);

// Value codes. A code outside its table is no error anywhere: each display shows its own
// placeholder, so these give nothing for such a code.
std::optional<int> speedBps(int speedCode);                        // 9600, 19200, 57600
std::optional<std::string_view> parityName(int code);              // "NON", "EVEN", "ODD"
std::optional<int> delayMs(int delayCode);                         // 10, 20, 40, 80, 120, 200
std::optional<int> supplyVolts(int code);                          // 200 .. 440
std::optional<int> currentAmps(int code);                          // 20 .. 600
std::optional<std::string_view> controlMethodShortName(int code);  // "P0".."P3", "FBなし"
std::optional<std::string_view> controlMethodName(int code);  // "電圧フィードバック" ..
std::optional<std::string_view> outputLimitName(int code);  // "なし" .. "起動時＋電流制限"
std::optional<std::string_view> presenceName(int code);     // "なし", "あり"
std::optional<std::string_view> autoPowerName(int code);    // "なし", "4-20mA", "0-10V"

}  // namespace comm
