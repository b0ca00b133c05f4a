#pragma once

#include <string>

#include "app/DeviceState.h"
#include "dialogs/Environment.h"
#include "link/Transaction.h"
#include "ui/Dialog.h"

// The main window: chooses a port range and a time-out, scans the range for the unit, reports
// what the unit says about itself, and opens the editors.
class search final : public ui::Dialog, private comm::Notifier {
 public:
  search(DeviceState& state, Environment& env);

  // The Start button: scans the chosen range and shows the outcome.
  void onStartSearch();
  // One attempt on port `portNumber` with line setting `lineSettingIndex` (0..8):
  // 0 identified, 1 no acceptable answer, -1..-4 openPort failed.
  int identifyUnit(int portNumber, int lineSettingIndex);
  const std::string& foundReport() const { return foundReport_; }

 protected:
  bool onInitDialog() override;
  void onCommand(int id) override;

 private:
  void notify(std::string_view message) override { messageBox(message); }
  void openEditor(int id);

  DeviceState& state_;
  Environment& env_;
  std::string foundReport_;
};

// Speed and parity code of an attempt: speed by index mod 3, parity by index div 3.
struct LineSetting {
  int baud;
  int parityCode;
};
LineSetting lineSetting(int lineSettingIndex);

// The seven lines of the found-unit report, joined by CR.
std::string unitReport(int portNumber, const comm::UnitInfo& info);
// "%3.2f" of a version x 100.
std::string versionText(int versionTimes100);
