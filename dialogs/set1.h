#pragma once

#include "app/DeviceState.h"
#include "dialogs/Environment.h"
#include "ui/Dialog.h"

// The communication parameter editor: the unit's station address, line speed, parity and
// response delay, written in one maintenance frame; afterwards the program's own port follows
// the unit to the speed and parity chosen here.
class set1 final : public ui::Dialog {
 public:
  set1(DeviceState& state, Environment& env);

  // The write transaction: 0 accepted, 1 no acceptable answer, 92 no port open (nothing read
  // from the dialog, nothing sent). Stores the dialog's values in DeviceState before sending.
  int commSettingsWrite();

 protected:
  bool onInitDialog() override;
  void onCommand(int id) override;

 private:
  void onWrite();
  void onDefaults();
  int chosenSpeedCode() const;
  int chosenParityCode() const;
  int chosenDelayCode() const;

  DeviceState& state_;
  Environment& env_;
};
