#include "link/Transaction.h"

namespace comm {

AcceptanceRule acceptanceRule(const RegisterFrame& request) {
  using Test = AcceptanceRule::Test;
  switch (request.kind) {
    case FrameKind::unitInfoRead:
      return {30, 8, 9, Test::maintenanceEcho};
    case FrameKind::readEepromBlock:
      return {100, 79, 80, Test::functionEcho};
    case FrameKind::registerRead: {
      const std::size_t nominal = 5 + 2 * std::size_t{request.fieldB};
      return {40, nominal, nominal + 1, Test::functionEcho};
    }
    case FrameKind::commSettingsWrite:
    case FrameKind::writeEepromCell:
      return {20, 8, 8, Test::maintenanceEcho};
    case FrameKind::registerWrite:
      return {20, 8, 8, Test::noExceptionFlag};
  }
  return {0, 1, 0, Test::functionEcho};  // unreachable: accepts nothing
}

bool accepts(const RegisterFrame& request, std::span<const std::uint8_t> answer) {
  const AcceptanceRule rule = acceptanceRule(request);
  const std::size_t n = answer.size();
  if (n < rule.shortestAnswer || n > rule.longestAnswer || n < 2) return false;
  switch (rule.test) {
    case AcceptanceRule::Test::maintenanceEcho:
      return answer[0] == kMaintenanceStation && answer[1] == request.function;
    case AcceptanceRule::Test::functionEcho:
      return answer[1] == request.function;
    case AcceptanceRule::Test::noExceptionFlag:
      return (answer[1] & 0x80) == 0;
  }
  return false;
}

int portNotOpenResult(FrameKind kind) {
  switch (kind) {
    case FrameKind::commSettingsWrite:
    case FrameKind::writeEepromCell:
      return kWritePortNotOpen;
    default:
      return kReadPortNotOpen;
  }
}

Exchange transact(SerialPort* port, const RegisterFrame& request, std::uint16_t maintenanceKey,
                  Notifier* notifier) {
  Exchange exchange;
  if (port == nullptr) {
    const bool tellsUser =
        request.kind == FrameKind::registerRead || request.kind == FrameKind::readEepromBlock;
    if (tellsUser && notifier != nullptr) notifier->notify(kPortNotOpenMessage);
    exchange.result = portNotOpenResult(request.kind);
    return exchange;
  }

  const FrameBytes frame = request.encode(maintenanceKey);
  // A late answer to an earlier request would otherwise become the start of this answer, and
  // one of the right length would be decoded as the wrong registers.
  port->discardInput();
  port->write(frame);

  exchange.answer.resize(acceptanceRule(request).readSize);
  exchange.answer.resize(port->read(exchange.answer));
  exchange.result = accepts(request, exchange.answer) ? kAccepted : kNotAccepted;
  return exchange;
}

}  // namespace comm
