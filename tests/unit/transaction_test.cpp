// Transactions over the virtual line: the acceptance rule of each frame kind, the port-not-open
// results, time on the line, and stale input.

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "link/OpenPort.h"
#include "link/Transaction.h"
#include "link/VirtualLine.h"
#include "sim/Unit.h"
#include "sim/VirtualUnit.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using platform::millis;

constexpr std::uint16_t kKey = 0x3A5C;

// A far end that answers every request with the same bytes, or stays silent.
class ScriptedDevice final : public comm::VirtualDevice {
 public:
  std::optional<Bytes> reply;
  platform::Micros delay = millis(10);
  std::vector<Bytes> requests;

  bool understands(const comm::LineConfig&) const override { return true; }
  std::optional<comm::VirtualAnswer> receive(std::span<const std::uint8_t> request,
                                             platform::Micros) override {
    requests.emplace_back(request.begin(), request.end());
    if (!reply) return std::nullopt;
    return comm::VirtualAnswer{*reply, delay};
  }
};

class RecordingNotifier final : public comm::Notifier {
 public:
  std::vector<std::string> messages;
  void notify(std::string_view message) override { messages.emplace_back(message); }
};

// A line with a scripted device on COM1, opened at 9600 bit/s with time-out T = 200 ms.
struct Line {
  platform::VirtualClock clock;
  comm::VirtualSerialSystem system{clock};
  ScriptedDevice device;
  comm::PortHandle port;

  Line() {
    system.addPort(1, &device);
    EXPECT_EQ(comm::openPort(port, system, 1, 9600, 0, 200), comm::kOpenOk);
  }
  comm::Exchange run(const comm::RegisterFrame& request, std::optional<Bytes> reply) {
    device.reply = std::move(reply);
    return comm::transact(port.get(), request, kKey, nullptr);
  }
};

Bytes filled(std::size_t n, std::uint8_t b0, std::uint8_t b1) {
  Bytes bytes(n, 0x11);
  if (n > 0) bytes[0] = b0;
  if (n > 1) bytes[1] = b1;
  return bytes;
}

struct Row {
  const char* what;
  std::optional<Bytes> reply;  // nullopt: silence
  int expected;
};

void expectRows(const comm::RegisterFrame& request, const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    Line line;
    const comm::Exchange exchange = line.run(request, row.reply);
    EXPECT_EQ(exchange.result, row.expected) << row.what;
    EXPECT_EQ(exchange.answer.size(), row.reply ? row.reply->size() : 0u) << row.what;
  }
}

const Bytes kException{0x01, 0x83, 0x02, 0xC0, 0xF1};

TEST(Acceptance, UnitInfoRead) {
  expectRows(comm::unitInfoRead(), {
                                       {"nominal 8 bytes", filled(8, 0xFF, 0x03), 0},
                                       {"one longer", filled(9, 0xFF, 0x03), 0},
                                       {"one shorter", filled(7, 0xFF, 0x03), 1},
                                       {"two longer", filled(10, 0xFF, 0x03), 1},
                                       {"wrong function", filled(8, 0xFF, 0x04), 1},
                                       {"station byte not 0xFF", filled(8, 0x01, 0x03), 1},
                                       {"exception", Bytes{0xFF, 0x83, 0x02, 0x00, 0x00}, 1},
                                       {"silence", std::nullopt, 1},
                                   });
}

TEST(Acceptance, ReadEepromBlock) {
  expectRows(comm::readEepromBlock(0x1E00),
             {
                 {"nominal 79 bytes", filled(79, 0xFF, 0x03), 0},
                 {"one longer", filled(80, 0xFF, 0x03), 0},
                 {"one shorter", filled(78, 0xFF, 0x03), 1},
                 {"two longer", filled(81, 0xFF, 0x03), 1},
                 {"wrong function", filled(79, 0xFF, 0x06), 1},
                 {"station byte not looked at", filled(79, 0x42, 0x03), 0},
                 {"exception", Bytes{0xFF, 0x83, 0x02, 0x00, 0x00}, 1},
                 {"silence", std::nullopt, 1},
             });
}

TEST(Acceptance, RegisterReadFollowsTheCount) {
  for (std::uint16_t count : {std::uint16_t{1}, std::uint16_t{9}, std::uint16_t{10}}) {
    const std::size_t nominal = 5 + 2u * count;
    SCOPED_TRACE("count " + std::to_string(count));
    expectRows(comm::registerRead(1, 0x0300, count),
               {
                   {"nominal", filled(nominal, 0x01, 0x03), 0},
                   {"one longer", filled(nominal + 1, 0x01, 0x03), 0},
                   {"one shorter", filled(nominal - 1, 0x01, 0x03), 1},
                   {"two longer", filled(nominal + 2, 0x01, 0x03), 1},
                   {"wrong function", filled(nominal, 0x01, 0x04), 1},
                   {"station byte not looked at", filled(nominal, 0x09, 0x03), 0},
                   {"exception", kException, 1},
                   {"silence", std::nullopt, 1},
               });
  }
}

TEST(Acceptance, MaintenanceWrites) {
  for (const comm::RegisterFrame& request :
       {comm::commSettingsWrite(5, 0x25), comm::writeEepromCell(100, 7)}) {
    SCOPED_TRACE(request.kind == comm::FrameKind::commSettingsWrite ? "commSettingsWrite"
                                                                    : "writeEepromCell");
    expectRows(request, {
                            {"8 bytes, any check", filled(8, 0xFF, 0x06), 0},
                            {"one longer", filled(9, 0xFF, 0x06), 1},
                            {"one shorter", filled(7, 0xFF, 0x06), 1},
                            {"wrong function", filled(8, 0xFF, 0x03), 1},
                            {"station byte not 0xFF", filled(8, 0x01, 0x06), 1},
                            {"exception", Bytes{0xFF, 0x86, 0x04, 0x00, 0x00}, 1},
                            {"silence", std::nullopt, 1},
                        });
  }
}

TEST(Acceptance, RegisterWriteLooksOnlyAtTheExceptionBit) {
  expectRows(comm::registerWrite(1, 0x0300, 500),
             {
                 {"nominal echo", filled(8, 0x01, 0x06), 0},
                 {"other station", filled(8, 0x63, 0x06), 0},
                 {"other function, bit 7 clear", filled(8, 0x01, 0x10), 0},
                 {"8 bytes with 0x86", filled(8, 0x01, 0x86), 1},
                 {"one longer", filled(9, 0x01, 0x06), 1},
                 {"one shorter", filled(7, 0x01, 0x06), 1},
                 {"exception", Bytes{0x01, 0x86, 0x02, 0x00, 0x00}, 1},
                 {"silence", std::nullopt, 1},
             });
}

TEST(Acceptance, CheckBytesOfAnswersAreNotCompared) {
  sim::Unit unit(kKey);
  unit.fault.kind = sim::Fault::badCheck;
  platform::VirtualClock clock;
  comm::VirtualSerialSystem system(clock);
  sim::VirtualUnit far(unit);
  system.addPort(3, &far);
  comm::PortHandle port;
  ASSERT_EQ(comm::openPort(port, system, 3, 9600, 0, 200), 0);
  for (const comm::RegisterFrame& request :
       {comm::unitInfoRead(), comm::registerRead(1, 0x0300, 10), comm::registerWrite(1, 0x0300, 5),
        comm::commSettingsWrite(1, 0x00)}) {
    EXPECT_EQ(comm::transact(port.get(), request, kKey, nullptr).result, 0);
  }
}

TEST(PortNotOpen, ResultCodesAndTheMessage) {
  struct Case {
    comm::RegisterFrame request;
    int result;
    bool message;
  };
  const std::vector<Case> cases{
      {comm::registerRead(1, 0x0300, 10), 99, true},  {comm::readEepromBlock(0x1D00), 99, true},
      {comm::registerWrite(1, 0x0300, 1), 99, false}, {comm::commSettingsWrite(1, 0), 92, false},
      {comm::writeEepromCell(1, 0), 92, false},
  };
  for (const Case& c : cases) {
    RecordingNotifier notifier;
    const comm::Exchange exchange = comm::transact(nullptr, c.request, kKey, &notifier);
    EXPECT_EQ(exchange.result, c.result);
    EXPECT_TRUE(exchange.answer.empty());
    EXPECT_EQ(notifier.messages, c.message ? std::vector<std::string>{"Port yet to open"}
                                           : std::vector<std::string>{});
  }
}

TEST(Timing, EveryTransactionLastsTheWholeTimeout) {
  // The read asks for more than the unit sends, so answered or silent, it ends at T.
  for (const std::optional<Bytes>& reply :
       {std::optional<Bytes>{}, std::optional{filled(8, 0xFF, 0x03)}}) {
    Line line;
    const platform::Micros before = line.clock.now();
    line.run(comm::unitInfoRead(), reply);
    EXPECT_EQ(line.clock.now() - before, millis(200));
  }
  // A device that fills the whole read size ends the read when the last byte arrives.
  Line line;
  line.device.delay = millis(10);
  line.run(comm::writeEepromCell(1, 1), filled(20, 0xFF, 0x06));
  const platform::Micros charTime = comm::VirtualSerialSystem::charTime(line.system.lineConfig(1));
  EXPECT_EQ(line.clock.now(), 8 * charTime + millis(10) + 20 * charTime);
}

TEST(Timing, TheRequestGoesOutAsEightBytesInOneWrite) {
  Line line;
  line.run(comm::registerRead(7, 0x0044, 9), std::nullopt);
  ASSERT_EQ(line.device.requests.size(), 1u);
  EXPECT_EQ(line.device.requests[0], (Bytes{0x07, 0x03, 0x00, 0x44, 0x00, 0x09, 0xC5, 0xBF}));
}

TEST(StaleInput, ALateAnswerDoesNotBecomeTheNextAnswer) {
  // Request k is answered 250 ms after it was sent, after its 200 ms read ended; the caller
  // pauses 300 ms and sends request k+1. The late bytes must not be taken as its answer,
  // though they have exactly the length it expects.
  sim::Unit unit(kKey);
  unit.setControlReg(comm::COM_TR1, 111);
  unit.setSpecReg(comm::g_SPC_CTRL, 222);
  unit.fault = {sim::Fault::late, 0, 1, 240};
  platform::VirtualClock clock;
  comm::VirtualSerialSystem system(clock);
  sim::VirtualUnit far(unit);
  system.addPort(1, &far);
  comm::PortHandle port;
  ASSERT_EQ(comm::openPort(port, system, 1, 9600, 0, 200), 0);

  const comm::Exchange k =
      comm::transact(port.get(), comm::registerRead(1, 0x0300, 1), kKey, nullptr);
  EXPECT_EQ(k.result, 1);
  clock.sleepMs(300);
  const comm::Exchange next =
      comm::transact(port.get(), comm::registerRead(1, 0x0044, 1), kKey, nullptr);
  ASSERT_EQ(next.result, 0);
  EXPECT_EQ(comm::decodeRegisters(next.answer, 1), (std::vector<std::int16_t>{222}));
}

TEST(BadInput, RandomAnswersNeverCrashAndGetAResultOfTheTable) {
  std::mt19937 random(77);
  const std::vector<comm::RegisterFrame> requests{comm::unitInfoRead(),
                                                  comm::readEepromBlock(0x1D00),
                                                  comm::commSettingsWrite(1, 0),
                                                  comm::writeEepromCell(3, 3),
                                                  comm::registerRead(1, 0x0300, 10),
                                                  comm::registerWrite(1, 0x0300, 1)};
  Line line;
  for (int i = 0; i < 600; ++i) {
    Bytes reply(random() % 101);
    for (auto& b : reply) b = static_cast<std::uint8_t>(random());
    if (random() % 4 == 0 && reply.size() > 1) reply[1] = 0x03;
    const comm::RegisterFrame& request = requests[static_cast<std::size_t>(i) % requests.size()];
    const comm::Exchange exchange = line.run(request, reply);
    const std::size_t readSize = comm::acceptanceRule(request).readSize;
    EXPECT_EQ(exchange.answer.size(), std::min(reply.size(), readSize));
    EXPECT_TRUE(exchange.result == 0 || exchange.result == 1);
    line.clock.sleepMs(1000);  // let any unread rest of a long answer arrive and be discarded
  }
}

}  // namespace
