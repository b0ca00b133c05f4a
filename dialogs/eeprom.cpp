#include "dialogs/eeprom.h"

#include <cstdio>
#include <vector>

#include "dialogs/RecordFile.h"
#include "resources/EepromTemplate.h"

namespace ids = res::eeprom;

namespace {

using Names = std::array<std::string_view, comm::kEepromCellCount>;

Names makeNames() {
  Names names{};
  names.fill("unused");
  constexpr std::string_view kFirst[] = {
      "unused",     "g_SPC_CTRL",  "g_SPC_VOL", "g_SPC_CUR", "g_SPC_FB", "g_SPC_OUT", "g_SPC_HB",
      "g_SPC_FUSE", "g_SPC_AP",    "g_SPC_COM", "g_RB",      "g_SB",     "g_TB",      "g_CTRL_Z",
      "g_CTRL_S",   "g_VR1_Z",     "g_VR1_S",   "g_VR2_Z",   "g_VR2_S",  "g_VR3_Z",   "g_VR3_S",
      "g_TR1_Z",    "g_TR1_S",     "g_TR2_Z",   "g_TR2_S",   "g_TR3_Z",  "g_TR3_S",   "g_TR4_Z",
      "g_TR4_S",    "g_TR5_Z",     "g_TR5_S",   "g_TR6_Z",   "g_TR6_S",  "g_AP_Z",    "g_AP_S",
      "g_u2_adrs",  "g_u2_parity", "g_u2_bps"};
  constexpr std::string_view kSecond[] = {
      "g_u2_delay", "g_HB_mode",   "g_Vref",      "g_hosei",     "g_R_offset", "g_S_offset",
      "g_T_offset", "g_RS_offset", "g_ST_offset", "g_TR_offset", "g_RS_vt",    "g_ST_vt",
      "g_TR_vt",    "g_R_ct",      "g_S_ct",      "g_T_ct",      "g_CUR_trim", "g_COM_TR1",
      "g_COM_TR2",  "g_COM_TR3",   "g_COM_TR4",   "g_COM_TR5",   "g_COM_TR6",  "g_COM_CTRL",
      "g_COM_VR1",  "g_COM_VR2",   "g_COM_DI1",   "g_COM_DI2",   "g_COM_VR3",  "g_COM_AP",
      "g_COM_ALM",  "g_COM_HBALM", "g_COM_STOP",  "g_COM_MEM",   "g_HB_time"};
  static_assert(std::size(kFirst) == 38 && std::size(kSecond) == 35);
  for (std::size_t i = 0; i < std::size(kFirst); ++i) names[i] = kFirst[i];
  for (std::size_t i = 0; i < std::size(kSecond); ++i) names[38 + i] = kSecond[i];
  names[88] = "PASS";
  return names;
}

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

const Names& eepromCellNames() {
  static const Names names = makeNames();
  return names;
}

std::string eepromLine(int cell, std::string_view name, std::int16_t value) {
  char number[16];
  std::snprintf(number, sizeof number, "%02d: ", cell);
  return std::string(number) + std::string(name) + " , " + std::to_string(value) + " ";
}

std::uint16_t parseCellValue(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::uint32_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    value = (value * 10 + static_cast<std::uint32_t>(text[i] - '0')) & 0xFFFF;
  return static_cast<std::uint16_t>(negative ? (0x10000 - value) & 0xFFFF : value);
}

eeprom::eeprom(DeviceState& state, Environment& env)
    : ui::Dialog(env.ui, ids::dialog()), state_(state), env_(env) {}

bool eeprom::onInitDialog() {
  cellNames_ = eepromCellNames();
  window().setRange(ids::kCellSpin, 0, 255);
  window().setPosition(ids::kCellSpin, 100);
  setText(ids::kValue, "0");
  const platform::ScreenSize screen = env_.platform.screenSize();
  const ui::Placement at = ui::centred(screen.width, screen.height, 480, 380);
  window().moveWindow(at.x, at.y, at.width, at.height);
  return true;
}

void eeprom::onCommand(int id) {
  switch (id) {
    case ids::kRead:
      return onRead();
    case ids::kWrite:
      return onWrite();
    case ids::kRecord:
      return onRecord();
    case ids::kTestLines:
      for (int n = 0; n < 10; ++n) {
        char line[16];
        std::snprintf(line, sizeof line, "adrs:%02d ", n);
        window().addLine(ids::kList, line);
      }
      return;
    case ids::kClear:
      return clearList();
    case ids::kCount:
      return setText(ids::kStatus, "value: " + std::to_string(window().lineCount(ids::kList)));
    default:
      ui::Dialog::onCommand(id);
  }
}

void eeprom::clearList() {
  while (window().lineCount(ids::kList) > 0) window().deleteLine(ids::kList, 0);
}

void eeprom::onRead() {
  clearList();
  const platform::LocalTime t = env_.platform.localTime();
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%d/%d/%d  %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  window().addLine(ids::kList, stamp);
  window().addLine(ids::kList, "EEP address, value");
  for (int block = 0; block < 3; ++block) {
    if (block > 0) env_.platform.clock().sleepMs(300);
    readEepromBlock(block);
  }
}

int eeprom::readEepromBlock(int block) {
  const comm::EepromBlock& b = comm::kEepromBlocks.at(static_cast<std::size_t>(block));
  const comm::Exchange exchange =
      comm::transact(state_.portHandle.get(), comm::readEepromBlock(b.readRegister),
                     DeviceState::maintenanceKey, this);
  if (exchange.result == comm::kReadPortNotOpen) return exchange.result;
  if (exchange.result != comm::kAccepted) {
    window().addLine(ids::kList, "Failed to read!(" + std::string(b.name) + ")");
    return 1;
  }
  const std::vector<std::int16_t> cells =
      comm::decodeRegisters(exchange.answer, comm::kCellsPerBlock);
  for (std::size_t k = 0; k < cells.size(); ++k) {
    const std::size_t cell = b.firstCell + k;
    window().addLine(ids::kList, eepromLine(static_cast<int>(cell), cellNames_[cell], cells[k]));
  }
  return 0;
}

int eeprom::writeEepromCell(std::uint8_t cell, std::uint16_t value) {
  return comm::transact(state_.portHandle.get(), comm::writeEepromCell(cell, value),
                        DeviceState::maintenanceKey, nullptr)
      .result;
}

void eeprom::onWrite() {
  const auto cell = static_cast<std::uint8_t>(window().position(ids::kCellSpin) & 0xFF);
  const std::uint16_t value = parseCellValue(text(ids::kValue));
  messageBox("result:" + std::to_string(writeEepromCell(cell, value)));
}

void eeprom::onRecord() {
  const int n = window().lineCount(ids::kList);
  if (n == 0) {
    messageBox("No data");
    return;
  }
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) lines.push_back(window().lineText(ids::kList, i));
  platform::Platform& platform = env_.platform;
  record::write(window(), platform, platform.executableFolder(),
                record::fileName("EEP_", 4, platform.localTime()), lines);
}
