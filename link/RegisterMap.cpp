#include "link/RegisterMap.h"

namespace comm {

namespace {

template <typename T, std::size_t N>
std::optional<T> lookup(const std::array<T, N>& table, int code) {
  if (code < 0 || static_cast<std::size_t>(code) >= N) return std::nullopt;
  return table[static_cast<std::size_t>(code)];
}

using Text = std::string_view;

constexpr std::array<int, 3> kSpeeds{9600, 19200, 57600};
constexpr std::array<Text, 3> kParities{"NON", "EVEN", "ODD"};
constexpr std::array<int, 6> kDelays{10, 20, 40, 80, 120, 200};
constexpr std::array<int, 6> kVolts{200, 220, 240, 380, 400, 440};
constexpr std::array<int, 10> kAmps{20, 30, 50, 75, 100, 150, 200, 300, 500, 600};
constexpr std::array<Text, 5> kMethodShort{"P0", "P1", "P2", "P3", "FBなし"};
constexpr std::array<Text, 5> kMethodNames{"電圧フィードバック", "電流フィードバック",
                                           "電力フィードバック", "電圧自乗フィードバック",
                                           "フィードバックなし"};
constexpr std::array<Text, 4> kOutputLimits{"なし", "起動時制限", "電流制限", "起動時＋電流制限"};
constexpr std::array<Text, 2> kPresence{"なし", "あり"};
constexpr std::array<Text, 3> kAutoPower{"なし", "4-20mA", "0-10V"};

}  // namespace

std::uint8_t packLineByte(const LineSettingCodes& codes) {
  return static_cast<std::uint8_t>(codes.delayCode * 16 + codes.parityCode * 4 + codes.speedCode);
}

LineSettingCodes unpackLineByte(std::uint8_t lineByte) {
  return {lineByte & 0x03, (lineByte >> 2) & 0x03, (lineByte >> 4) & 0x0F};
}

UnitInfo decodeUnitInfo(std::span<const std::uint8_t> answer) {
  UnitInfo info;
  info.station = answer[2];
  info.line = unpackLineByte(answer[3]);
  info.masterVersion = answer[4];
  info.supplyVoltageCode = answer[5] & 0x0F;
  info.controlMethodCode = (answer[5] >> 4) & 0x0F;
  return info;
}

std::vector<std::int16_t> decodeRegisters(std::span<const std::uint8_t> answer, std::size_t count) {
  std::vector<std::int16_t> values;
  values.reserve(count);
  for (std::size_t i = 0; i < count && 4 + 2 * i < answer.size(); ++i) {
    values.push_back(static_cast<std::int16_t>((answer[3 + 2 * i] << 8) | answer[4 + 2 * i]));
  }
  return values;
}

std::optional<int> speedBps(int speedCode) {
  return lookup(kSpeeds, speedCode);
}
std::optional<std::string_view> parityName(int code) {
  return lookup(kParities, code);
}
std::optional<int> delayMs(int delayCode) {
  return lookup(kDelays, delayCode);
}
std::optional<int> supplyVolts(int code) {
  return lookup(kVolts, code);
}
std::optional<int> currentAmps(int code) {
  return lookup(kAmps, code);
}
std::optional<std::string_view> controlMethodShortName(int code) {
  return lookup(kMethodShort, code);
}
std::optional<std::string_view> controlMethodName(int code) {
  return lookup(kMethodNames, code);
}
std::optional<std::string_view> outputLimitName(int code) {
  return lookup(kOutputLimits, code);
}
std::optional<std::string_view> presenceName(int code) {
  return lookup(kPresence, code);
}
std::optional<std::string_view> autoPowerName(int code) {
  return lookup(kAutoPower, code);
}

}  // namespace comm
