#include "dialogs/set1.h"

#include "link/OpenPort.h"
#include "link/RegisterMap.h"
#include "link/Transaction.h"
#include "resources/CommTemplate.h"

namespace ids = res::comm_params;

namespace {

constexpr int kDelayButtons[] = {1027, 1028, 1029, 1030, 1031, 1032};

// The port speed for a speed code: codes past the table are the unit's 57600 bit/s, as the
// dialog shows them.
int baudOfSpeedCode(int speedCode) {
  return comm::speedBps(speedCode).value_or(57600);
}

}  // namespace

set1::set1(DeviceState& state, Environment& env)
    : ui::Dialog(env.ui, ids::dialog()), state_(state), env_(env) {}

bool set1::onInitDialog() {
  window().setRange(ids::kAddressSpin, 1, 99);
  window().setPosition(ids::kAddressSpin, state_.unitAddress);
  // Only 9600 and 19200 can be chosen; 57600 stays selected only for a unit already using it.
  enable(ids::kSpeed57600, false);
  setCheck(state_.speedCode == 0   ? ids::kSpeed9600
           : state_.speedCode == 1 ? ids::kSpeed19200
                                   : ids::kSpeed57600,
           true);
  setCheck(state_.parityCode == 0   ? ids::kParityNone
           : state_.parityCode == 1 ? ids::kParityEven
                                    : ids::kParityOdd,
           true);
  const int delay = state_.delayCode >= 0 && state_.delayCode <= 4 ? state_.delayCode : 5;
  setCheck(kDelayButtons[delay], true);
  const platform::ScreenSize screen = env_.platform.screenSize();
  const ui::Placement at = ui::centred(screen.width, screen.height, 400, 220);
  window().moveWindow(at.x, at.y, at.width, at.height);
  setText(ids::kStatus, "");
  return true;
}

void set1::onCommand(int id) {
  if (id == ids::kWrite) {
    onWrite();
  } else if (id == ids::kDefaults) {
    onDefaults();
  } else {
    ui::Dialog::onCommand(id);
  }
}

int set1::chosenSpeedCode() const {
  return isChecked(ids::kSpeed9600) ? 0 : isChecked(ids::kSpeed19200) ? 1 : 2;
}

int set1::chosenParityCode() const {
  return isChecked(ids::kParityNone) ? 0 : isChecked(ids::kParityEven) ? 1 : 2;
}

int set1::chosenDelayCode() const {
  for (int code = 0; code < 5; ++code)
    if (isChecked(kDelayButtons[code])) return code;
  return 5;
}

int set1::commSettingsWrite() {
  if (!state_.portHandle) return comm::kWritePortNotOpen;

  state_.unitAddress = static_cast<std::int16_t>(window().position(ids::kAddressSpin));
  state_.speedCode = static_cast<std::int16_t>(chosenSpeedCode());
  state_.parityCode = static_cast<std::int16_t>(chosenParityCode());
  state_.delayCode = static_cast<std::int16_t>(chosenDelayCode());

  const std::uint8_t lineByte =
      comm::packLineByte({state_.speedCode, state_.parityCode, state_.delayCode});
  const comm::Exchange exchange = comm::transact(
      state_.portHandle.get(),
      comm::commSettingsWrite(static_cast<std::uint8_t>(state_.unitAddress & 0xFF), lineByte),
      DeviceState::maintenanceKey, nullptr);
  if (exchange.result != comm::kAccepted) return exchange.result;

  state_.portBaud = baudOfSpeedCode(state_.speedCode);
  state_.portParity = state_.parityCode;
  return 0;
}

void set1::onWrite() {
  const int result = commSettingsWrite();
  messageBox(result == 0 ? "書込みに成功しました。" : "書込みに失敗しました。");
  // The port follows the dialog's choice whatever the outcome: after a write the unit may
  // already be at the new settings even if its answer got lost.
  state_.portBaud = baudOfSpeedCode(chosenSpeedCode());
  state_.portParity = chosenParityCode();
  comm::openPort(state_.portHandle, env_.serial, state_.portNumber, state_.portBaud,
                 state_.portParity, state_.portTimeout);
}

void set1::onDefaults() {
  window().setPosition(ids::kAddressSpin, 1);
  setCheck(ids::kSpeed9600, false);
  setCheck(ids::kSpeed19200, true);
  setCheck(ids::kSpeed57600, false);
  setCheck(ids::kParityNone, true);
  setCheck(ids::kParityEven, false);
  setCheck(ids::kParityOdd, false);
  for (int button : kDelayButtons) setCheck(button, button == 1028);
}
