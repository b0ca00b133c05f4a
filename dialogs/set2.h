#pragma once

#include <array>
#include <cstdint>

#include "app/DeviceState.h"
#include "dialogs/Environment.h"
#include "link/RegisterMap.h"
#include "link/Transaction.h"
#include "ui/Dialog.h"

// The control parameter editor: reads the unit's 21 control parameters and its product
// data (the g_SPC registers) when it opens, lets the technician edit them, writes them in a fixed
// order, and records the unit's settings to a file.
class set2 final : public ui::Dialog, private comm::Notifier {
 public:
  using ControlValues = std::array<std::int16_t, comm::kControlRegisterCount>;

  set2(DeviceState& state, Environment& env);

  // The five reads: 0 stored, 1 no acceptable answer, 99 no port open ("Port yet to open").
  int readControlRegs1();  // 0x0300..0x0309 into controlRegs[0..9]
  int readControlRegs2();  // 0x030A..0x0313 into controlRegs[10..19]
  int readSpecRegs();      // 0x0044..0x004C into specRegs
  int readScaleReg();      // 0x0314 into controlRegs[20]
  int readScaleOption();   // 0x004C into scaleOptionCode
  // One control register: 0 accepted, 1 not accepted, 99 no port open (no message).
  int registerWrite(std::int16_t reg, std::int16_t value);
  // Writes `values` in the unit's fixed order, COM_MEM first and COM_FB last, and reports.
  // 0 every register written, 1 a step failed.
  int writeControlSequence(const ControlValues& values);

  std::int16_t scaleOptionCode() const { return scaleOptionCode_; }

 protected:
  bool onInitDialog() override;
  void onCommand(int id) override;
  void onTimer(int id) override;

 private:
  void notify(std::string_view message) override { messageBox(message); }
  bool readFromUnit();
  int readRegisters(std::uint16_t first, std::uint16_t count, std::int16_t* targets);
  void showValues();
  void onWrite();
  void onDefaults();
  void onRecord();
  void step(int spinId, int delta);
  void detectChanges();
  int selectedMethodCode() const;
  ControlValues dialogValues() const;
  std::int16_t position(int spinId) const;

  DeviceState& state_;
  Environment& env_;
  std::int16_t scaleOptionCode_ = 0;
};
