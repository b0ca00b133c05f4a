#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "link/RegisterMap.h"
#include "platform/Clock.h"

namespace sim {

// Ways the simulated unit can misbehave, so that every acceptance rule can be shown to hold.
enum class Fault {
  none,
  silent,         // no answer at all
  late,           // the answer comes lateMs after it should
  shortByOne,     // the answer lacks its last byte
  longByOne,      // one extra byte after the answer
  wrongFunction,  // function byte + 1 (bit 7 stays clear)
  wrongStation,   // station byte + 1 (0xFF becomes 0x00)
  exception,      // a Modbus exception answer (code 4) in place of the answer
  badCheck,       // both check bytes inverted (answers without a check are left alone)
};

std::optional<Fault> parseFault(std::string_view name);
std::string_view faultName(Fault fault);

struct FaultSwitch {
  Fault kind = Fault::none;
  int skip = 0;    // answers that go out untouched before the fault starts
  int count = -1;  // answers the fault then affects; -1 for all
  int lateMs = 1000;
};

struct Answer {
  std::vector<std::uint8_t> bytes;
  int delayMs = 0;  // from the end of the request to the first byte of the answer
};

// The unit's side of the protocol as a plain object: it takes one request frame and gives the
// answer and its delay, or silence. It keeps its settings the way the unit does, in EEPROM
// cells: the communication cells (g_u2_adrs, g_u2_parity, g_u2_bps, g_u2_delay) are its line
// settings, cells 1..9 are the product data block (g_SPC_...), and the control registers live in
// the cells named after them, so a cell write shows in the registers and the other way round.
class Unit {
 public:
  explicit Unit(std::uint16_t maintenanceKey);

  // EEPROM cell numbers the unit's own state lives in.
  static constexpr std::size_t kStationCell = 35;   // g_u2_adrs
  static constexpr std::size_t kParityCell = 36;    // g_u2_parity
  static constexpr std::size_t kSpeedCell = 37;     // g_u2_bps
  static constexpr std::size_t kDelayCell = 38;     // g_u2_delay
  static constexpr std::size_t kSpecFirstCell = 1;  // g_SPC_CTRL

  // Settings.
  int station() const { return cells_[kStationCell]; }
  comm::LineSettingCodes lineCodes() const;
  int baud() const;  // bit/s for the speed code; codes above 2 run at 57600
  void setStation(int station) { cells_[kStationCell] = static_cast<std::int16_t>(station); }
  void setLineCodes(const comm::LineSettingCodes& codes);
  int firmwareVersion = 120;     // x 100, reported in the information block
  std::uint16_t maintenanceKey;  // a maintenance write whose check lacks it is ignored

  std::int16_t cell(std::size_t n) const { return cells_.at(n); }
  void setCell(std::size_t n, std::int16_t value) { cells_.at(n) = value; }
  std::int16_t specReg(std::size_t i) const { return cells_.at(kSpecFirstCell + i); }
  void setSpecReg(std::size_t i, std::int16_t value) { cells_.at(kSpecFirstCell + i) = value; }
  std::int16_t controlReg(std::size_t i) const;
  void setControlReg(std::size_t i, std::int16_t value);
  bool hasScaleLow() const { return specReg(comm::g_SPC_COM) == comm::kScaleOptionPresent; }

  FaultSwitch fault;
  // A change of control method restarts the unit once it has answered; it hears nothing for
  // this long.
  int resetMs = 1500;
  bool resetting(platform::Micros now) const { return now < busyUntil_; }

  // One request frame as it arrived, complete at `now`. Frames with a wrong check, for another
  // station, or maintenance writes without the key get no answer, as on the real line.
  std::optional<Answer> handle(std::span<const std::uint8_t> frame, platform::Micros now);

  // What the unit has seen, for tests and the simulator's trace.
  int framesHeard = 0;
  int framesRejectedCheck = 0;
  int framesMissedInReset = 0;
  int resets = 0;

 private:
  std::optional<Answer> answer(std::span<const std::uint8_t> frame);
  std::optional<std::int16_t> readRegister(std::uint16_t reg) const;
  bool writableRegister(std::uint16_t reg) const;
  Answer applyFault(Answer answer, bool hasCheck);

  std::array<std::int16_t, comm::kEepromCellCount> cells_{};
  std::int16_t scaleLow_ = 30;  // COM_SCALELO has no cell of its own
  platform::Micros busyUntil_ = 0;
  bool resetRequested_ = false;
};

// The bytes followed by their CRC-16/MODBUS, low byte first.
std::vector<std::uint8_t> withCheck(std::vector<std::uint8_t> bytes);

}  // namespace sim
