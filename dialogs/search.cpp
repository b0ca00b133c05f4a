#include "dialogs/search.h"

#include <cstdio>

#include "link/OpenPort.h"
#include "link/RegisterMap.h"
#include "resources/SearchTemplate.h"

namespace ids = res::search;

namespace {

constexpr const char* kPrompt = "範囲を設定し検索開始ボタンを押してください...";
constexpr const char* kPleaseWait = "お待ちください...";

template <typename... Args>
std::string format(const char* pattern, Args... args) {
  char buffer[256];
  std::snprintf(buffer, sizeof buffer, pattern, args...);
  return buffer;
}

// A code's line, or the line with the placeholder where the value would be.
template <typename T>
std::string codeLine(const char* label, const std::optional<T>& value, const char* unit,
                     const char* placeholder) {
  std::string line = label;
  if (value) {
    if constexpr (std::is_same_v<T, int>) {
      line += std::to_string(*value);
    } else {
      line += *value;
    }
  } else {
    line += placeholder;
  }
  return line + unit;
}

}  // namespace

LineSetting lineSetting(int lineSettingIndex) {
  return {*comm::speedBps(lineSettingIndex % 3), lineSettingIndex / 3};
}

std::string versionText(int versionTimes100) {
  return format("%3.2f", static_cast<double>(versionTimes100) / 100.0);
}

std::string unitReport(int portNumber, const comm::UnitInfo& info) {
  const std::string lines[] = {
      format("QTR77を COM%d で発見しました。", portNumber),
      format("通信アドレス: %d", info.station),
      codeLine("通信速度: ", comm::speedBps(info.line.speedCode), "bps", "xxxxx"),
      codeLine("通信パリティ: ", comm::parityName(info.line.parityCode), "", "xxx"),
      codeLine("通信ディレイ: ", comm::delayMs(info.line.delayCode), "ms", "xxx"),
      codeLine("電源電圧: ", comm::supplyVolts(info.supplyVoltageCode), "v", "xxx"),
      codeLine("制御方式: ", comm::controlMethodShortName(info.controlMethodCode), "", "xx"),
  };
  std::string report;
  for (const std::string& line : lines) {
    if (!report.empty()) report += '\r';
    report += line;
  }
  return report;
}

search::search(DeviceState& state, Environment& env)
    : ui::Dialog(env.ui, ids::dialog()), state_(state), env_(env) {}

bool search::onInitDialog() {
  setCheck(ids::kRangeCom1, true);
  setCheck(ids::kTimeout200, true);
  setText(ids::kMsg1, kPrompt);
  enable(ids::kEditComm, false);
  enable(ids::kEditControl, false);
  enable(ids::kEeprom, false);
  setText(ids::kMsg2, "");
  window().setTitle("QTR77 Configurator ver" + versionText(DeviceState::toolVersion));
  const platform::ScreenSize screen = env_.platform.screenSize();
  const ui::Placement at = ui::centred(screen.width, screen.height, 410, 200);
  window().moveWindow(at.x, at.y, at.width, at.height);
  return true;
}

void search::onCommand(int id) {
  switch (id) {
    case ids::kStart:
      onStartSearch();
      break;
    case ids::kEditComm:
    case ids::kEditControl:
    case ids::kEeprom:
      openEditor(id);
      break;
    default:
      ui::Dialog::onCommand(id);
  }
}

void search::onStartSearch() {
  enable(ids::kStart, false);
  enable(ids::kEditComm, false);
  enable(ids::kEditControl, false);
  setText(ids::kMsg1, "お待ち下さい........");

  int first = 30;
  if (isChecked(ids::kRangeCom1)) {
    first = 1;
  } else if (isChecked(ids::kRangeCom10)) {
    first = 10;
  } else if (isChecked(ids::kRangeCom20)) {
    first = 20;
  }
  const int last = first == 1 ? 9 : first + 9;

  if (isChecked(ids::kTimeout200)) {
    state_.portTimeout = 200;
  } else if (isChecked(ids::kTimeout300)) {
    state_.portTimeout = 300;
  } else if (isChecked(ids::kTimeout400)) {
    state_.portTimeout = 400;
  } else {
    state_.portTimeout = 500;
  }

  int result = 1;
  for (int port = first; port <= last && result != 0; ++port) {
    setText(ids::kMsg1, format("お待ち下さい....COM%d 検索中....", port));
    for (int index = 0; index < 9; ++index) {
      result = identifyUnit(port, index);
      if (result == 0) break;
    }
  }

  const bool found = result == 0;
  if (found) {
    messageBox(foundReport_ + "\r" + "master F/W: ver" + versionText(state_.masterVersion));
  } else {
    messageBox("応答がありません");
  }
  enable(ids::kEditComm, found);
  enable(ids::kEditControl, found);
  enable(ids::kEeprom, found);
  setText(ids::kMsg1, kPrompt);
  enable(ids::kStart, true);
}

int search::identifyUnit(int portNumber, int lineSettingIndex) {
  const LineSetting setting = lineSetting(lineSettingIndex);
  const int opened = comm::openPort(state_.portHandle, env_.serial, portNumber, setting.baud,
                                    setting.parityCode, state_.portTimeout);
  if (opened != 0) return opened;

  const comm::Exchange exchange = comm::transact(state_.portHandle.get(), comm::unitInfoRead(),
                                                 DeviceState::maintenanceKey, this);
  foundReport_.clear();
  if (exchange.result != comm::kAccepted) return 1;

  // The port settings are kept before the content is judged: they are the settings at which a
  // well-formed answer arrived.
  state_.portNumber = portNumber;
  state_.portBaud = setting.baud;
  state_.portParity = setting.parityCode;

  const comm::UnitInfo info = comm::decodeUnitInfo(exchange.answer);
  if (info.station < 1 || info.station > 99) return 1;
  state_.masterVersion = static_cast<std::int16_t>(info.masterVersion);
  if (info.masterVersion == 0) return 1;

  state_.unitAddress = static_cast<std::int16_t>(info.station);
  state_.speedCode = static_cast<std::int16_t>(info.line.speedCode);
  state_.parityCode = static_cast<std::int16_t>(info.line.parityCode);
  state_.delayCode = static_cast<std::int16_t>(info.line.delayCode);
  state_.supplyVoltageCode = static_cast<std::int16_t>(info.supplyVoltageCode);
  state_.controlMethodCode = static_cast<std::int16_t>(info.controlMethodCode);
  foundReport_ = unitReport(portNumber, info);
  return 0;
}

void search::openEditor(int id) {
  const EditorRunner& run = id == ids::kEditComm      ? env_.editors.commParams
                            : id == ids::kEditControl ? env_.editors.controlParams
                                                      : env_.editors.eepromCells;
  if (id == ids::kEditControl) {
    enable(ids::kStart, false);
    enable(ids::kEditComm, false);
    enable(ids::kEditControl, false);
  }
  if (id != ids::kEeprom) setText(ids::kMsg1, kPleaseWait);
  if (run) run(state_, env_);
  if (id == ids::kEditControl) {
    enable(ids::kStart, true);
    enable(ids::kEditComm, true);
    enable(ids::kEditControl, true);
  }
  if (id != ids::kEeprom) setText(ids::kMsg1, "");
}
