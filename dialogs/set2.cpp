#include "dialogs/set2.h"

#include <algorithm>
#include <cstdio>

#include "dialogs/RecordFile.h"
#include "dialogs/SettingsRecord.h"
#include "link/OpenPort.h"
#include "resources/ControlTemplate.h"

namespace ids = res::control_params;

namespace {

constexpr int kChangeTimer = 1;
constexpr int kChangePeriodMs = 100;

struct Parameter {
  std::size_t index;  // controlRegs element, register 0x0300 + index
  int spin;           // up-down control
  int lower, upper;
  std::int16_t defaultValue;
  int plus100, minus100;  // step buttons, 0 for none
};

// The twenty parameters with an up-down control, in the order of their controls; COM_FB is
// the radio group.
constexpr Parameter kParameters[] = {
    {comm::COM_TR1, 1065, -1, 1000, -1, 1098, 1099},
    {comm::COM_TR2, 1066, -1, 1000, -1, 1097, 1100},
    {comm::COM_TR3, 1067, -1, 1000, -1, 1096, 1101},
    {comm::COM_TR4, 1068, -1, 1000, -1, 1095, 1102},
    {comm::COM_TR5, 1069, -1, 1000, -1, 1094, 1103},
    {comm::COM_TR6, 1070, -1, 1000, -1, 1093, 1104},
    {comm::COM_CTRL, 1071, -1, 1000, -1, 1092, 1105},
    {comm::COM_VR1, 1072, -1, 1000, -1, 1091, 1106},
    {comm::COM_VR2, 1073, -1, 1000, -1, 1090, 1107},
    {comm::COM_DI1, 1074, -1, 1, -1, 0, 0},
    {comm::COM_DI2, 1075, -1, 1, -1, 0, 0},
    {comm::COM_VR3, 1076, -1, 1000, -1, 1089, 1108},
    {comm::COM_AP, 1077, -1, 1000, -1, 1088, 1109},
    {comm::COM_ALM, 1078, -1, 1, -1, 0, 0},
    {comm::COM_HBALM, 1079, -1, 1, -1, 0, 0},
    {comm::COM_STOP, 1080, 0, 1, 0, 0, 0},
    {comm::COM_MEM, 1081, 0, 1, 0, 0, 0},
    {comm::COM_HBWAIT, 1082, 0, 1000, 0, 0, 0},
    {comm::COM_HBCONT, 1111, 0, 1, 0, 0, 0},
    {comm::COM_SCALELO, ids::kScaleSpin, 0, 200, 30, 0, 0},
};

constexpr int kMethodButtons[] = {1083, 1084, 1085, 1086, 1087};

// Steps 1 to 20 of a write sequence; step 19 (0x0314) only for units with the scale option.
constexpr std::uint16_t kSequence[] = {0x0300, 0x0301, 0x0302, 0x0303, 0x0304, 0x0305, 0x0306,
                                       0x0307, 0x0308, 0x0309, 0x030A, 0x030B, 0x030C, 0x030D,
                                       0x030E, 0x0312, 0x0313, 0x0310, 0x0314, 0x030F};
constexpr std::uint16_t kFirstWrite = 0x0311;  // COM_MEM, before step 1

std::size_t indexOf(std::uint16_t reg) {
  return reg - comm::kControlFirstRegister;
}

}  // namespace

set2::set2(DeviceState& state, Environment& env)
    : ui::Dialog(env.ui, ids::dialog()), state_(state), env_(env) {}

bool set2::onInitDialog() {
  window().setProgressRange(ids::kProgress, 0, 21);
  window().setProgress(ids::kProgress, 0);
  for (const Parameter& p : kParameters) window().setRange(p.spin, p.lower, p.upper);
  setText(ids::kStatus, "");
  scaleOptionCode_ = 0;
  const platform::ScreenSize screen = env_.platform.screenSize();
  const ui::Placement at = ui::centred(screen.width, screen.height, 650, 464);
  window().moveWindow(at.x, at.y, at.width, at.height);
  if (readFromUnit()) {
    showValues();
    window().setTimer(kChangeTimer, kChangePeriodMs);
  }
  return true;
}

bool set2::readFromUnit() {
  const int opened = comm::openPort(state_.portHandle, env_.serial, state_.portNumber,
                                    state_.portBaud, state_.portParity, state_.portTimeout + 200);
  if (opened != 0) {
    char text[64];
    std::snprintf(text, sizeof text, "failed to open COM result%d", opened);
    messageBox(text);
    endDialog(res::kIdCancel);
    return false;
  }
  platform::Clock& clock = env_.platform.clock();
  clock.sleepMs(100);
  // The first read only wakes the line up; its result does not count.
  readControlRegs1();
  int sum = 0;
  clock.sleepMs(300);
  sum += readControlRegs1();
  clock.sleepMs(300);
  sum += readControlRegs2();
  clock.sleepMs(300);
  sum += readSpecRegs();
  clock.sleepMs(300);
  sum += readScaleReg();
  clock.sleepMs(300);
  sum += readScaleOption();
  if (sum != 0) {
    messageBox("制御パラメータの読出しに失敗しました。");
    endDialog(res::kIdCancel);
    return false;
  }
  messageBox("制御パラメータの読出しに成功しました。");
  return true;
}

void set2::showValues() {
  for (const Parameter& p : kParameters) window().setPosition(p.spin, state_.controlRegs[p.index]);
  const bool scale = scaleOptionCode_ == comm::kScaleOptionPresent;
  enable(ids::kScaleLabel, scale);
  enable(ids::kScaleValue, scale);
  enable(ids::kScaleSpin, scale);
  // The control method shown is the unit's own (g_SPC_FB); the change detection then compares
  // it with the communication setting in controlRegs[15].
  const int method = state_.specRegs[comm::g_SPC_FB];
  setCheck(kMethodButtons[method >= 0 && method <= 3 ? method : 4], true);
}

int set2::readRegisters(std::uint16_t first, std::uint16_t count, std::int16_t* targets) {
  const comm::Exchange exchange = comm::transact(
      state_.portHandle.get(),
      comm::registerRead(static_cast<std::uint8_t>(state_.unitAddress & 0xFF), first, count),
      DeviceState::maintenanceKey, this);
  if (exchange.result != comm::kAccepted) return exchange.result;
  const std::vector<std::int16_t> values = comm::decodeRegisters(exchange.answer, count);
  std::copy(values.begin(), values.end(), targets);
  return 0;
}

int set2::readControlRegs1() {
  return readRegisters(0x0300, 10, &state_.controlRegs[0]);
}
int set2::readControlRegs2() {
  return readRegisters(0x030A, 10, &state_.controlRegs[10]);
}
int set2::readSpecRegs() {
  return readRegisters(comm::kSpecFirstRegister, comm::kSpecRegisterCount, state_.specRegs.data());
}
int set2::readScaleReg() {
  return readRegisters(comm::kScaleLowRegister, 1, &state_.controlRegs[20]);
}
int set2::readScaleOption() {
  return readRegisters(comm::kScaleOptionRegister, 1, &scaleOptionCode_);
}

int set2::registerWrite(std::int16_t reg, std::int16_t value) {
  return comm::transact(state_.portHandle.get(),
                        comm::registerWrite(static_cast<std::uint8_t>(state_.unitAddress & 0xFF),
                                            static_cast<std::uint16_t>(reg), value),
                        DeviceState::maintenanceKey, nullptr)
      .result;
}

void set2::onCommand(int id) {
  if (id == ids::kWrite) return onWrite();
  if (id == ids::kDefaults) return onDefaults();
  if (id == ids::kRecord) return onRecord();
  for (const Parameter& p : kParameters) {
    if (p.plus100 != 0 && id == p.plus100) return step(p.spin, +100);
    if (p.minus100 != 0 && id == p.minus100) return step(p.spin, -100);
  }
  ui::Dialog::onCommand(id);
}

void set2::onTimer(int id) {
  if (id == kChangeTimer) detectChanges();
}

std::int16_t set2::position(int spinId) const {
  return static_cast<std::int16_t>(window().position(spinId));
}

int set2::selectedMethodCode() const {
  for (int code = 0; code < 4; ++code)
    if (isChecked(kMethodButtons[code])) return code;
  return 4;
}

set2::ControlValues set2::dialogValues() const {
  ControlValues values{};
  for (const Parameter& p : kParameters) values[p.index] = position(p.spin);
  values[comm::COM_FB] = static_cast<std::int16_t>(selectedMethodCode());
  return values;
}

void set2::detectChanges() {
  bool dirty = false;
  for (const Parameter& p : kParameters) {
    // COM_SCALELO is left out: a unit without the scale option has no such register.
    if (p.index != comm::COM_SCALELO && position(p.spin) != state_.controlRegs[p.index])
      dirty = true;
  }
  if (selectedMethodCode() != state_.controlRegs[comm::COM_FB]) dirty = true;
  if (state_.writeDoneFlag != 0) {
    state_.writeDoneFlag = 0;
    enable(ids::kRecord, true);
  } else {
    enable(ids::kRecord, !dirty);
  }
}

void set2::step(int spinId, int delta) {
  const int p = position(spinId) + delta;
  window().setPosition(spinId, std::clamp(p, -1, 1000));
}

void set2::onDefaults() {
  for (const Parameter& p : kParameters) window().setPosition(p.spin, p.defaultValue);
}

void set2::onWrite() {
  if (messageBox("書込みを実行しますか？", ui::Buttons::okCancel) != res::kIdOk) return;
  window().killTimer(kChangeTimer);
  messageBox("制御方式を変更した場合、\r書込み終了時にQTR77はリセットします。");
  readSpecRegs();
  env_.platform.clock().sleepMs(300);
  const ControlValues values = dialogValues();
  enable(ids::kWrite, false);
  enable(ids::kDefaults, false);
  enable(ids::kRecord, false);
  writeControlSequence(values);
  enable(ids::kWrite, true);
  enable(ids::kDefaults, true);
  enable(ids::kRecord, true);
  window().setTimer(kChangeTimer, kChangePeriodMs);
}

int set2::writeControlSequence(const ControlValues& values) {
  window().killTimer(kChangeTimer);
  readSpecRegs();
  env_.platform.clock().sleepMs(300);

  // controlRegs takes a value only once the unit has acknowledged it, so that after a failed
  // sequence it still says what the unit holds, and the record button stays off while the
  // dialog shows values the unit never accepted.
  auto writeAndKeep = [&](std::uint16_t reg) {
    const std::size_t index = indexOf(reg);
    const int result = registerWrite(static_cast<std::int16_t>(reg), values[index]);
    if (result == 0) state_.controlRegs[index] = values[index];
    return result == 0;
  };

  bool ok = writeAndKeep(kFirstWrite);
  for (int n = 1; ok && n <= 20; ++n) {
    setText(ids::kStatus, "書込み中... " + std::to_string(n) + "/21");
    window().setProgress(ids::kProgress, n);
    const std::uint16_t reg = kSequence[n - 1];
    if (reg == comm::kScaleLowRegister && scaleOptionCode_ != comm::kScaleOptionPresent) continue;
    ok = writeAndKeep(reg);
  }

  if (ok) {
    // A unit without the scale option has no register for it; the dialog's value stands.
    state_.controlRegs = values;
    setText(ids::kStatus, "書込み中... 21/21");
    window().setProgress(ids::kProgress, 21);
    messageBox("書込みに成功しました..");
  } else {
    messageBox("書込みに失敗しました..");
  }
  setText(ids::kStatus, "");
  window().setProgress(ids::kProgress, 0);
  state_.writeDoneFlag = ok ? 1 : 0;
  window().setTimer(kChangeTimer, kChangePeriodMs);
  return ok ? 0 : 1;
}

void set2::onRecord() {
  platform::Platform& platform = env_.platform;
  const platform::LocalTime stamp = platform.localTime();
  record::write(window(), platform, platform.documentsFolder(), record::fileName("conf_", 2, stamp),
                settingsRecordLines(state_, stamp));
}
