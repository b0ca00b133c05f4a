#include "sim/Unit.h"

#include <algorithm>

#include "link/Crc16.h"
#include "link/RegisterFrame.h"

namespace sim {

namespace {

using comm::kFunctionRead;
using comm::kFunctionWrite;
using comm::kMaintenanceStation;

constexpr std::uint8_t kIllegalFunction = 0x01;
constexpr std::uint8_t kIllegalAddress = 0x02;
constexpr std::uint8_t kDeviceFailure = 0x04;

// Where each control register lives in the EEPROM; COM_SCALELO has no cell.
constexpr std::array<int, comm::kControlRegisterCount> kControlCells{
    55, 56, 57, 58, 59, 60,  // COM_TR1 .. COM_TR6
    61, 62, 63, 64, 65,      // COM_CTRL, COM_VR1, COM_VR2, COM_DI1, COM_DI2
    66, 67, 68, 69,          // COM_VR3, COM_AP, COM_ALM, COM_HBALM
    4,                       // COM_FB: the control method is the unit's g_SPC_FB
    70, 71, 72, 39,          // COM_STOP, COM_MEM, COM_HBWAIT (g_HB_time), COM_HBCONT (g_HB_mode)
    -1};                     // COM_SCALELO

constexpr std::array<std::string_view, 9> kFaultNames{
    "none", "silent", "late", "short", "long", "function", "station", "exception", "check"};

std::uint16_t word(std::span<const std::uint8_t> frame, std::size_t at) {
  return static_cast<std::uint16_t>((frame[at] << 8) | frame[at + 1]);
}

Answer exceptionAnswer(std::uint8_t station, std::uint8_t function, std::uint8_t code) {
  return {withCheck({station, static_cast<std::uint8_t>(function | 0x80), code}), 0};
}

}  // namespace

std::optional<Fault> parseFault(std::string_view name) {
  for (std::size_t i = 0; i < kFaultNames.size(); ++i)
    if (kFaultNames[i] == name) return static_cast<Fault>(i);
  return std::nullopt;
}

std::string_view faultName(Fault fault) {
  return kFaultNames[static_cast<std::size_t>(fault)];
}

std::vector<std::uint8_t> withCheck(std::vector<std::uint8_t> bytes) {
  const std::uint16_t crc = comm::crc16Modbus(bytes);
  bytes.push_back(static_cast<std::uint8_t>(crc & 0xFF));
  bytes.push_back(static_cast<std::uint8_t>(crc >> 8));
  return bytes;
}

Unit::Unit(std::uint16_t key) : maintenanceKey(key) {
  setStation(1);
  setLineCodes({0, 0, 0});
  // A 400 V, 100 A unit with voltage feedback and every option fitted.
  setSpecReg(comm::g_SPC_CTRL, 0);
  setSpecReg(comm::g_SPC_VOL, 4);
  setSpecReg(comm::g_SPC_CUR, 4);
  setSpecReg(comm::g_SPC_FB, 0);
  setSpecReg(comm::g_SPC_OUT, 3);
  setSpecReg(comm::g_SPC_HB, 1);
  setSpecReg(comm::g_SPC_FUSE, 1);
  setSpecReg(comm::g_SPC_AP, 1);
  setSpecReg(comm::g_SPC_COM, 0);
  // Control parameters at the values the unit ships with.
  for (std::size_t i = comm::COM_TR1; i <= comm::COM_HBALM; ++i) setControlReg(i, -1);
  for (std::size_t i = comm::COM_STOP; i <= comm::COM_HBCONT; ++i) setControlReg(i, 0);
  setControlReg(comm::COM_SCALELO, 30);
}

comm::LineSettingCodes Unit::lineCodes() const {
  return {cells_[kSpeedCell], cells_[kParityCell], cells_[kDelayCell]};
}

void Unit::setLineCodes(const comm::LineSettingCodes& codes) {
  cells_[kSpeedCell] = static_cast<std::int16_t>(codes.speedCode);
  cells_[kParityCell] = static_cast<std::int16_t>(codes.parityCode);
  cells_[kDelayCell] = static_cast<std::int16_t>(codes.delayCode);
}

int Unit::baud() const {
  return comm::speedBps(lineCodes().speedCode).value_or(57600);
}

std::int16_t Unit::controlReg(std::size_t i) const {
  const int cell = kControlCells.at(i);
  return cell < 0 ? scaleLow_ : cells_[static_cast<std::size_t>(cell)];
}

void Unit::setControlReg(std::size_t i, std::int16_t value) {
  const int cell = kControlCells.at(i);
  if (cell < 0) {
    scaleLow_ = value;
  } else {
    cells_[static_cast<std::size_t>(cell)] = value;
  }
}

std::optional<Answer> Unit::handle(std::span<const std::uint8_t> frame, platform::Micros now) {
  if (frame.size() != 8) return std::nullopt;
  if (resetting(now)) {
    ++framesMissedInReset;
    return std::nullopt;
  }
  ++framesHeard;
  const bool maintenanceWrite = frame[0] == kMaintenanceStation && frame[1] == kFunctionWrite;
  const std::uint16_t expected = comm::checkValue(frame.data(), maintenanceWrite, maintenanceKey);
  if (frame[6] != (expected & 0xFF) || frame[7] != (expected >> 8)) {
    ++framesRejectedCheck;
    return std::nullopt;
  }
  // The answer goes out with the delay in force when the request came, also when the request
  // changes it.
  const int delay = comm::delayMs(lineCodes().delayCode).value_or(200);
  std::optional<Answer> reply = answer(frame);
  if (!reply) return std::nullopt;
  reply->delayMs += delay;
  // Block answers end with cell 37 and carry no check of their own.
  const bool hasCheck = !(frame[0] == kMaintenanceStation && frame[1] == kFunctionRead &&
                          frame[2] >= 0x1D && frame[2] <= 0x1F);
  Answer faulty = applyFault(std::move(*reply), hasCheck);
  if (resetRequested_) {
    resetRequested_ = false;
    ++resets;
    busyUntil_ = now + platform::millis(faulty.delayMs + resetMs);
  }
  if (faulty.bytes.empty()) return std::nullopt;
  return faulty;
}

// The answer to a well-formed request, and what the request changes. Changes take effect
// after the answer has been built, so a new station address or line setting applies from the
// next request on while this answer still goes out at the old settings.
std::optional<Answer> Unit::answer(std::span<const std::uint8_t> frame) {
  const std::uint8_t to = frame[0];
  const std::uint8_t function = frame[1];
  const std::uint16_t fieldA = word(frame, 2);
  const std::uint16_t fieldB = word(frame, 4);
  const std::vector<std::uint8_t> echo(frame.begin(), frame.end());

  if (to == kMaintenanceStation) {
    const std::uint8_t block = frame[2];
    const std::uint8_t index = frame[3];
    if (function == kFunctionRead && fieldA == comm::kUnitInfoRegister) {
      const comm::LineSettingCodes codes = lineCodes();
      const auto byte5 = static_cast<std::uint8_t>((specReg(comm::g_SPC_VOL) & 0x0F) |
                                                   ((specReg(comm::g_SPC_FB) & 0x0F) << 4));
      return Answer{
          withCheck({kMaintenanceStation, kFunctionRead, static_cast<std::uint8_t>(station()),
                     comm::packLineByte(codes), static_cast<std::uint8_t>(firmwareVersion), byte5}),
          0};
    }
    if (function == kFunctionRead && index == 0 && block >= 0x1D && block <= 0x1F) {
      const std::size_t first = comm::kEepromBlocks[block - 0x1D].firstCell;
      std::vector<std::uint8_t> bytes{kMaintenanceStation, kFunctionRead,
                                      static_cast<std::uint8_t>(2 * comm::kCellsPerBlock)};
      for (std::size_t k = 0; k < comm::kCellsPerBlock; ++k) {
        const auto value = static_cast<std::uint16_t>(cells_[first + k]);
        bytes.push_back(static_cast<std::uint8_t>(value >> 8));
        bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
      }
      return Answer{std::move(bytes), 0};
    }
    if (function == kFunctionWrite && block == 0x1C) {
      if (index < 1 || index > 99) return exceptionAnswer(to, function, kIllegalAddress);
      setStation(index);
      setLineCodes(comm::unpackLineByte(frame[4]));
      return Answer{echo, 0};
    }
    if (function == kFunctionWrite && block == 0x1D) {
      if (index < cells_.size()) cells_[index] = static_cast<std::int16_t>(fieldB);
      return Answer{echo, 0};
    }
    if (function == kFunctionRead || function == kFunctionWrite)
      return exceptionAnswer(to, function, kIllegalAddress);
    return exceptionAnswer(to, function, kIllegalFunction);
  }

  if (to != station()) return std::nullopt;

  if (function == kFunctionRead) {
    if (fieldB < 1 || fieldB > 125) return exceptionAnswer(to, function, kIllegalAddress);
    std::vector<std::uint8_t> bytes{to, function, static_cast<std::uint8_t>(2 * fieldB)};
    for (std::uint32_t r = fieldA; r < std::uint32_t{fieldA} + fieldB; ++r) {
      const std::optional<std::int16_t> value = readRegister(static_cast<std::uint16_t>(r));
      if (!value) return exceptionAnswer(to, function, kIllegalAddress);
      bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(*value) >> 8));
      bytes.push_back(static_cast<std::uint8_t>(*value & 0xFF));
    }
    return Answer{withCheck(std::move(bytes)), 0};
  }
  if (function == kFunctionWrite) {
    if (!writableRegister(fieldA)) return exceptionAnswer(to, function, kIllegalAddress);
    const std::size_t index = fieldA - comm::kControlFirstRegister;
    if (index == comm::COM_FB && controlReg(index) != static_cast<std::int16_t>(fieldB))
      resetRequested_ = true;
    setControlReg(index, static_cast<std::int16_t>(fieldB));
    return Answer{echo, 0};
  }
  return exceptionAnswer(to, function, kIllegalFunction);
}

std::optional<std::int16_t> Unit::readRegister(std::uint16_t reg) const {
  if (reg >= comm::kSpecFirstRegister && reg < comm::kSpecFirstRegister + comm::kSpecRegisterCount)
    return specReg(reg - comm::kSpecFirstRegister);
  // 0x0314 reads on every unit (the editor reads it whatever the scale option); only units with
  // the option take a write to it.
  if (reg >= comm::kControlFirstRegister && reg <= comm::kScaleLowRegister)
    return controlReg(reg - comm::kControlFirstRegister);
  return std::nullopt;
}

bool Unit::writableRegister(std::uint16_t reg) const {
  if (reg == comm::kScaleLowRegister) return hasScaleLow();
  return reg >= comm::kControlFirstRegister && reg < comm::kScaleLowRegister;
}

Answer Unit::applyFault(Answer reply, bool hasCheck) {
  if (fault.kind == Fault::none) return reply;
  if (fault.skip > 0) {
    --fault.skip;
    return reply;
  }
  if (fault.count == 0) return reply;
  if (fault.count > 0) --fault.count;

  std::vector<std::uint8_t>& b = reply.bytes;
  switch (fault.kind) {
    case Fault::none:
      break;
    case Fault::silent:
      b.clear();
      break;
    case Fault::late:
      reply.delayMs += fault.lateMs;
      break;
    case Fault::shortByOne:
      b.pop_back();
      break;
    case Fault::longByOne:
      b.push_back(0x00);
      break;
    case Fault::wrongFunction:
      b[1] = static_cast<std::uint8_t>((b[1] + 1) & 0x7F);
      break;
    case Fault::wrongStation:
      b[0] = static_cast<std::uint8_t>(b[0] + 1);
      break;
    case Fault::exception:
      b = exceptionAnswer(b[0], b[1], kDeviceFailure).bytes;
      break;
    case Fault::badCheck:
      if (hasCheck) {
        b[b.size() - 2] ^= 0xFF;
        b[b.size() - 1] ^= 0xFF;
      }
      break;
  }
  return reply;
}

}  // namespace sim
