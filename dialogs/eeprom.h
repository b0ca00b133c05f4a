#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/DeviceState.h"
#include "dialogs/Environment.h"
#include "link/RegisterMap.h"
#include "link/Transaction.h"
#include "ui/Dialog.h"

// EEPROM maintenance: lists the unit's 114 EEPROM cells by block, writes single cells, and
// dumps the list to a file in the program's folder. Every request goes to station 0xFF.
class eeprom final : public ui::Dialog, private comm::Notifier {
 public:
  eeprom(DeviceState& state, Environment& env);

  // One block (0, 1, 2 for EEP_DR1..3): 0 listed, 1 failed (failure line added), 99 no port
  // open ("Port yet to open" shown, nothing added).
  int readEepromBlock(int block);
  // 0 written, 1 no acceptable answer, 92 no port open.
  int writeEepromCell(std::uint8_t cell, std::uint16_t value);

 protected:
  bool onInitDialog() override;
  void onCommand(int id) override;

 private:
  void notify(std::string_view message) override { messageBox(message); }
  void onRead();
  void onWrite();
  void onRecord();
  void clearList();

  DeviceState& state_;
  Environment& env_;
  std::array<std::string_view, comm::kEepromCellCount> cellNames_{};
};

// The names of the 114 cells, in cell order.
const std::array<std::string_view, comm::kEepromCellCount>& eepromCellNames();

// A listed cell: "%02d: " + name + " , %d ".
std::string eepromLine(int cell, std::string_view name, std::int16_t value);

// The value field read as a decimal integer the way the C library's atoi reads it (leading
// white space, an optional sign, digits up to the first other character; no digits gives 0),
// taken modulo 65536. Any number of digits is fine: nothing overflows.
std::uint16_t parseCellValue(std::string_view text);
