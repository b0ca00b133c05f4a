// The POSIX backend on real pseudo-terminals, and transactions against a qtr77-sim process.

#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "link/OpenPort.h"
#include "link/RegisterMap.h"
#include "link/SerialPosix.h"
#include "link/Transaction.h"
#include "tests/serial/sim_process.h"

namespace {

using testing_support::SimProcess;
using testing_support::TempDir;
using Clock = std::chrono::steady_clock;

constexpr std::uint16_t kKey = QTR77_MAINTENANCE_KEY;

// A bare pseudo-terminal published as ports/COMn, with nobody answering on it.
class SilentPty {
 public:
  SilentPty(const std::string& folder, int number) {
    EXPECT_EQ(::openpty(&master_, &slave_, nullptr, nullptr, nullptr), 0);
    link_ = folder + "/COM" + std::to_string(number);
    EXPECT_EQ(::symlink(::ttyname(slave_), link_.c_str()), 0);
  }
  ~SilentPty() {
    ::unlink(link_.c_str());
    ::close(slave_);
    ::close(master_);
  }

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string link_;
};

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

TEST(PosixPort, SilentReadLastsTheTimeout) {
  TempDir ports;
  SilentPty pty(ports.path(), 1);
  comm::PosixSerialSystem system(ports.path());
  comm::PortHandle handle;
  ASSERT_EQ(comm::openPort(handle, system, 1, 9600, 0, 200), 0) << system.lastError();
  const auto start = Clock::now();
  const comm::Exchange exchange = comm::transact(handle.get(), comm::unitInfoRead(), kKey, nullptr);
  const double elapsed = msSince(start);
  EXPECT_EQ(exchange.result, 1);
  EXPECT_TRUE(exchange.answer.empty());
  // Never early; the upper bound only catches a read that does not end.
  EXPECT_GE(elapsed, 199.0);
  EXPECT_LT(elapsed, 2000.0);
}

TEST(PosixPort, PortNamesResolveThroughTheFolder) {
  TempDir ports;
  SilentPty com10(ports.path(), 10);
  comm::PosixSerialSystem system(ports.path());
  comm::PortHandle handle;
  EXPECT_EQ(comm::openPort(handle, system, 10, 9600, 0, 200), 0) << system.lastError();
  EXPECT_EQ(comm::openPort(handle, system, 5, 9600, 0, 200), -1) << "no link for COM5";
  EXPECT_EQ(handle, nullptr);
  EXPECT_EQ(comm::PosixSerialSystem().devicePath(1), "/dev/ttyS0");
}

TEST(PosixPort, APortHeldElsewhereCannotBeOpened) {
  TempDir ports;
  SilentPty pty(ports.path(), 2);
  comm::PosixSerialSystem system(ports.path());
  comm::PortHandle first;
  comm::PortHandle second;
  ASSERT_EQ(comm::openPort(first, system, 2, 9600, 0, 200), 0);
  EXPECT_EQ(comm::openPort(second, system, 2, 9600, 0, 200), -1);
  EXPECT_EQ(second, nullptr);
  // Reopening through the holding handle works: openPort closes it first.
  EXPECT_EQ(comm::openPort(first, system, 2, 19200, 1, 200), 0);
  comm::LineConfig config;
  ASSERT_TRUE(first->getLineConfig(config));
  EXPECT_EQ(config.baudRate, 19200u);
}

struct SimPort {
  TempDir ports;
  SimProcess sim;
  comm::PosixSerialSystem system{ports.path()};
  comm::PortHandle handle;

  explicit SimPort(const std::vector<std::string>& options)
      : sim(ports.path() + "/COM3", options) {}
  int open(int baud, int parity, int timeout = 200) {
    return comm::openPort(handle, system, 3, baud, parity, timeout);
  }
  comm::Exchange run(const comm::RegisterFrame& request) {
    return comm::transact(handle.get(), request, kKey, nullptr);
  }
};

TEST(SimOverPty, EachReadKind) {
  SimPort line({"--address", "7", "--speed", "19200", "--firmware", "114", "--voltage", "3",
                "--method", "4"});
  ASSERT_TRUE(line.sim.ready());
  ASSERT_EQ(line.open(19200, 0), 0) << line.system.lastError();

  const comm::Exchange info = line.run(comm::unitInfoRead());
  ASSERT_EQ(info.result, 0);
  const comm::UnitInfo unit = comm::decodeUnitInfo(info.answer);
  EXPECT_EQ(unit.station, 7);
  EXPECT_EQ(unit.line.speedCode, 1);
  EXPECT_EQ(unit.masterVersion, 114);
  EXPECT_EQ(unit.supplyVoltageCode, 3);
  EXPECT_EQ(unit.controlMethodCode, 4);

  const comm::Exchange block = line.run(comm::readEepromBlock(0x1D00));
  ASSERT_EQ(block.result, 0);
  EXPECT_EQ(block.answer.size(), 79u);
  EXPECT_EQ(comm::decodeRegisters(block.answer, 38)[35], 7) << "cell 35 is g_u2_adrs";

  const comm::Exchange control = line.run(comm::registerRead(7, 0x0300, 10));
  ASSERT_EQ(control.result, 0);
  EXPECT_EQ(comm::decodeRegisters(control.answer, 10), std::vector<std::int16_t>(10, -1));
}

TEST(SimOverPty, TheUnitHearsOnlyItsOwnSpeed) {
  // Pseudo-terminals carry no parity, so over a pty only the speed can be wrong; the virtual
  // line covers parity.
  SimPort line({"--speed", "19200"});
  ASSERT_TRUE(line.sim.ready());
  for (int baud : {9600, 57600}) {
    ASSERT_EQ(line.open(baud, 0), 0);
    EXPECT_EQ(line.run(comm::unitInfoRead()).result, 1) << baud;
  }
  ASSERT_EQ(line.open(19200, 0), 0);
  EXPECT_EQ(line.run(comm::unitInfoRead()).result, 0);
}

TEST(SimOverPty, KeyedWriteMovesTheUnitToItsNewSettings) {
  SimPort line({"--trace"});
  ASSERT_TRUE(line.sim.ready());
  ASSERT_EQ(line.open(9600, 0), 0);
  const comm::Exchange write = line.run(comm::commSettingsWrite(12, comm::packLineByte({2, 2, 1})));
  EXPECT_EQ(write.result, 0);
  ASSERT_EQ(line.open(57600, 2), 0);
  const comm::Exchange info = line.run(comm::unitInfoRead());
  ASSERT_EQ(info.result, 0);
  EXPECT_EQ(info.answer[2], 12);
  EXPECT_EQ(info.answer[3], comm::packLineByte({2, 2, 1}));
  // The trace shows each frame in and out.
  const std::string trace = line.sim.output();
  EXPECT_NE(trace.find("in  FF 06 1C 0C 1A 00"), std::string::npos) << trace;
  EXPECT_NE(trace.find("out FF 03 0C 1A"), std::string::npos) << trace;
}

TEST(SimOverPty, APortThatGoesAwayDuringAReadEndsTheRead) {
  SimPort line({"--fault", "silent"});
  ASSERT_TRUE(line.sim.ready());
  ASSERT_EQ(line.open(9600, 0, 700), 0);
  std::thread killer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    line.sim.stop(SIGKILL);
  });
  const comm::Exchange exchange = line.run(comm::unitInfoRead());
  killer.join();
  EXPECT_EQ(exchange.result, 1);
  EXPECT_TRUE(exchange.answer.empty());
  // Later transactions on the dead port keep failing cleanly.
  EXPECT_EQ(line.run(comm::registerRead(1, 0x0300, 1)).result, 1);
}

TEST(SimOverPty, FaultRowsInRealTime) {
  // A handful of the fault matrix's rows over a real pseudo-terminal and qtr77-sim.
  struct Row {
    const char* fault;
    comm::RegisterFrame request;
    int result;
  };
  const std::vector<Row> rows{
      {"silent", comm::unitInfoRead(), 1},
      {"short", comm::registerRead(1, 0x0300, 10), 1},
      {"long", comm::registerRead(1, 0x0300, 10), 0},  // one byte more is accepted
      {"long", comm::writeEepromCell(3, 3), 1},        // writes need exactly 8 bytes
      {"exception", comm::readEepromBlock(0x1D00), 1},
      {"function", comm::registerWrite(1, 0x0300, 5), 0},  // only the exception bit counts
      {"station", comm::unitInfoRead(), 1},
      {"check", comm::commSettingsWrite(1, 0x00), 0},
  };
  for (const Row& row : rows) {
    SimPort line({"--fault", row.fault});
    ASSERT_TRUE(line.sim.ready());
    ASSERT_EQ(line.open(9600, 0), 0);
    EXPECT_EQ(line.run(row.request).result, row.result) << row.fault;
  }
}

TEST(SimOverPty, ALateAnswerIsDiscardedBeforeTheNextRequest) {
  // The unit answers 300 ms late; after the caller's 300 ms pause the stale bytes are in the
  // driver's queue and must not pass for the next answer, which has the same length.
  SimPort line({"--fault", "late", "--fault-count", "1", "--late-ms", "300"});
  ASSERT_TRUE(line.sim.ready());
  ASSERT_EQ(line.open(9600, 0), 0);
  EXPECT_EQ(line.run(comm::registerRead(1, 0x0300, 1)).result, 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  const comm::Exchange next = line.run(comm::registerRead(1, 0x0044, 1));
  ASSERT_EQ(next.result, 0);
  EXPECT_EQ(comm::decodeRegisters(next.answer, 1), std::vector<std::int16_t>{0})
      << "g_SPC_CTRL, not COM_TR1's -1";
}

TEST(SimProcessLife, StopsOnSignalsAndRemovesItsLink) {
  for (int signal : {SIGTERM, SIGINT}) {
    TempDir ports;
    const std::string link = ports.path() + "/COM4";
    SimProcess sim(link, {});
    ASSERT_TRUE(sim.ready());
    EXPECT_EQ(sim.stop(signal), 0);
    struct stat st {};
    EXPECT_NE(::lstat(link.c_str(), &st), 0) << "link left behind";
  }
}

TEST(SimProcessLife, ABadArgumentIsNamedAndExitsWithTwo) {
  struct Case {
    std::vector<std::string> args;
    const char* named;
  };
  for (const Case& c :
       {Case{{"--link", "x", "--speed", "4800"}, "--speed"},
        Case{{"--link", "x", "--address", "100"}, "--address"},
        Case{{"--link", "x", "--parity", "mark"}, "--parity"},
        Case{{"--link", "x", "--fault", "smoke"}, "--fault"},
        Case{{"--link", "x", "--bogus"}, "--bogus"}, Case{{"--speed", "9600"}, "--link"}}) {
    const testing_support::RunResult result = testing_support::runSim(c.args);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.stderrText.find(c.named), std::string::npos) << result.stderrText;
    EXPECT_EQ(std::count(result.stderrText.begin(), result.stderrText.end(), '\n'), 1)
        << result.stderrText;
  }
}

}  // namespace
