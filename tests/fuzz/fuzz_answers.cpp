// Answers of every frame kind, as the unit might send them, through the transaction's
// acceptance rules and the decoding the dialogs do on an accepted answer.
// Input: byte 0 picks the request, the rest is the answer.

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

#include "dialogs/search.h"
#include "link/OpenPort.h"
#include "link/RegisterMap.h"
#include "link/Transaction.h"
#include "link/VirtualLine.h"

namespace {

class Replay final : public comm::VirtualDevice {
 public:
  std::vector<std::uint8_t> answer;
  bool understands(const comm::LineConfig&) const override { return true; }
  std::optional<comm::VirtualAnswer> receive(std::span<const std::uint8_t>,
                                             platform::Micros) override {
    if (answer.empty()) return std::nullopt;
    return comm::VirtualAnswer{answer, platform::millis(5)};
  }
};

void require(bool holds) {
  if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static const comm::RegisterFrame requests[] = {comm::unitInfoRead(),
                                                 comm::readEepromBlock(0x1E00),
                                                 comm::commSettingsWrite(5, 0x25),
                                                 comm::writeEepromCell(200, 0xBEEF),
                                                 comm::registerRead(1, 0x0300, 10),
                                                 comm::registerRead(1, 0x0044, 9),
                                                 comm::registerRead(1, 0x0314, 1),
                                                 comm::registerWrite(1, 0x030F, 4)};
  const comm::RegisterFrame& request = requests[data[0] % std::size(requests)];

  platform::VirtualClock clock;
  comm::VirtualSerialSystem system(clock);
  Replay device;
  device.answer.assign(data + 1, data + size);
  system.addPort(1, &device);
  comm::PortHandle port;
  require(comm::openPort(port, system, 1, 9600, 0, 200) == 0);

  const comm::Exchange exchange = comm::transact(port.get(), request, 0x1234, nullptr);
  const comm::AcceptanceRule rule = comm::acceptanceRule(request);
  require(exchange.answer.size() <= rule.readSize);
  require(exchange.result == 0 || exchange.result == 1);
  if (exchange.result != 0) return 0;
  require(exchange.answer.size() >= rule.shortestAnswer &&
          exchange.answer.size() <= rule.longestAnswer);

  switch (request.kind) {
    case comm::FrameKind::unitInfoRead: {
      const comm::UnitInfo info = comm::decodeUnitInfo(exchange.answer);
      require(unitReport(3, info).size() > 0);
      break;
    }
    case comm::FrameKind::readEepromBlock:
      require(comm::decodeRegisters(exchange.answer, comm::kCellsPerBlock).size() ==
              comm::kCellsPerBlock);
      break;
    case comm::FrameKind::registerRead:
      require(comm::decodeRegisters(exchange.answer, request.fieldB).size() == request.fieldB);
      break;
    default:
      break;
  }
  return 0;
}
