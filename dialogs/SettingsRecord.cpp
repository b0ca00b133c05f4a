#include "dialogs/SettingsRecord.h"

#include <cstdio>
#include <optional>
#include <string_view>

#include "link/RegisterMap.h"

namespace {

using comm::ControlIndex;

std::string line(std::string_view label, std::string_view value) {
  return std::string(label) + ", " + std::string(value);
}

std::string number(int value) {
  return std::to_string(value);
}

// A code's line with its value, or with the placeholder when the code is outside its table.
std::string codeLine(std::string_view label, const std::optional<int>& value, std::string_view unit,
                     std::string_view placeholder) {
  return line(label, (value ? number(*value) : std::string(placeholder)) + std::string(unit));
}
std::string codeLine(std::string_view label, const std::optional<std::string_view>& value) {
  return line(label, value ? *value : "xxx");
}

struct ControlLine {
  const char* label;
  ControlIndex index;
};

constexpr ControlLine kControlLines[] = {
    {"内部パワー調整通信設定", comm::COM_TR1},
    {"ソフトスタート時間通信設定", comm::COM_TR2},
    {"ヒータ断線警報通信設定", comm::COM_TR3},
    {"オートパワー通信設定", comm::COM_TR4},
    {"起動時出力制限レベル通信設定", comm::COM_TR5},
    {"起動時出力制限時間通信設定", comm::COM_TR6},
    {"制御信号入力通信設定", comm::COM_CTRL},
    {"VR1入力通信設定", comm::COM_VR1},
    {"VR2入力通信設定", comm::COM_VR2},
    {"DI1入力通信設定", comm::COM_DI1},
    {"DI2入力通信設定", comm::COM_DI2},
    {"VR3入力通信設定", comm::COM_VR3},
    {"オートパワー入力通信設定", comm::COM_AP},
    {"アラーム出力通信設定", comm::COM_ALM},
    {"ヒータ断線アラーム出力通信設定", comm::COM_HBALM},
};

constexpr ControlLine kTailLines[] = {
    {"出力停止通信設定", comm::COM_STOP},        {"通信メモリモード", comm::COM_MEM},
    {"ヒータ断線待機時間", comm::COM_HBWAIT},    {"ヒータ断線出力継続", comm::COM_HBCONT},
    {"制御入力スケール下限", comm::COM_SCALELO},
};

std::string methodLine(int code) {
  static constexpr const char* kShort[] = {"P0", "P1", "P2", "P3"};
  if (code >= 0 && code <= 3) {
    return line("制御方式通信設定",
                std::string(kShort[code]) + ":" + std::string(*comm::controlMethodName(code)));
  }
  return line("制御方式通信設定", "フィードバックなし");
}

}  // namespace

std::vector<std::string> settingsRecordLines(const DeviceState& state,
                                             const platform::LocalTime& t) {
  const auto& spec = state.specRegs;
  const auto& control = state.controlRegs;
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%d/%d/%d  %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);

  std::vector<std::string> lines;
  lines.reserve(35);
  lines.push_back(line("作成日時", stamp));
  lines.emplace_back("****  製品仕様 ****, ");
  lines.push_back(codeLine("電源電圧", comm::supplyVolts(spec[comm::g_SPC_VOL]), "V", "xxx"));
  lines.push_back(codeLine("電流容量", comm::currentAmps(spec[comm::g_SPC_CUR]), "A", "xxx"));
  lines.push_back(codeLine("出力制限機能", comm::outputLimitName(spec[comm::g_SPC_OUT])));
  lines.push_back(codeLine("ヒータ断線警報機能", comm::presenceName(spec[comm::g_SPC_HB])));
  lines.push_back(codeLine("速断ヒューズ", comm::presenceName(spec[comm::g_SPC_FUSE])));
  lines.push_back(codeLine("オートパワー調整機能", comm::autoPowerName(spec[comm::g_SPC_AP])));
  lines.emplace_back("**** 通信パラメータ ****, ");
  lines.push_back(line("通信アドレス", number(state.unitAddress)));
  // The unit's own speed codes run to 57600 bit/s (code 2); only codes past the table get the
  // placeholder.
  lines.push_back(codeLine("通信速度", comm::speedBps(state.speedCode), "bps", "xxxx"));
  lines.push_back(codeLine("通信パリティ", comm::parityName(state.parityCode)));
  lines.push_back(codeLine("ディレイ時間", comm::delayMs(state.delayCode), "ms", "xxx"));
  lines.emplace_back("**** 制御パラメータ ****, ");
  for (const ControlLine& c : kControlLines)
    lines.push_back(line(c.label, number(control[c.index])));
  lines.push_back(methodLine(control[comm::COM_FB]));
  for (const ControlLine& c : kTailLines) lines.push_back(line(c.label, number(control[c.index])));
  return lines;
}
