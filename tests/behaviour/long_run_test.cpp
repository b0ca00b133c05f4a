// A long session in virtual time: 10,000 transactions of every kind against the simulated
// unit, with faults mixed in at random, each result checked against the acceptance rules, and
// the port handles and memory looked at afterwards.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdio>
#include <random>

#include "link/OpenPort.h"
#include "link/Transaction.h"
#include "tests/support/Rig.h"

namespace {

using comm::FrameKind;
using sim::Fault;

// The result the acceptance rules give for an answer with this fault.
int expectedResult(FrameKind kind, Fault fault) {
  const bool read = kind == FrameKind::unitInfoRead || kind == FrameKind::readEepromBlock ||
                    kind == FrameKind::registerRead;
  switch (fault) {
    case Fault::none:
    case Fault::badCheck:
      return 0;
    case Fault::silent:
    case Fault::late:
    case Fault::shortByOne:
    case Fault::exception:
      return 1;
    case Fault::longByOne:
      return read ? 0 : 1;
    case Fault::wrongFunction:
      return kind == FrameKind::registerWrite ? 0 : 1;
    case Fault::wrongStation:
      return kind == FrameKind::unitInfoRead || kind == FrameKind::commSettingsWrite ||
                     kind == FrameKind::writeEepromCell
                 ? 1
                 : 0;
  }
  return -1;
}

long peakKilobytes() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

TEST(LongRun, TenThousandTransactionsWithRandomFaults) {
  testing_support::Rig rig;
  rig.plugUnit(3);
  std::mt19937 random(20261211);
  const comm::RegisterFrame requests[] = {comm::unitInfoRead(),
                                          comm::readEepromBlock(0x1D00),
                                          comm::readEepromBlock(0x1F00),
                                          comm::commSettingsWrite(1, 0x00),
                                          comm::writeEepromCell(100, 77),
                                          comm::registerRead(1, 0x0300, 10),
                                          comm::registerRead(1, 0x0044, 9),
                                          comm::registerRead(1, 0x0314, 1),
                                          comm::registerWrite(1, 0x0305, 250)};
  constexpr int kTransactions = 10000;
  int faults = 0;
  int reopens = 0;
  int mismatches = 0;
  long peakAfterWarmUp = 0;
  for (int i = 0; i < kTransactions; ++i) {
    if (i % 50 == 0) {
      // The editors reopen the port now and then; the old handle must go.
      ASSERT_EQ(comm::openPort(rig.state.portHandle, rig.serial, 3, 9600, 0, 200), 0);
      ++reopens;
    }
    const comm::RegisterFrame& request = requests[random() % std::size(requests)];
    Fault fault = Fault::none;
    if (random() % 4 == 0) {
      fault = static_cast<Fault>(1 + random() % 8);
      ++faults;
    }
    rig.unit.fault = {fault, 0, 1, 1000};
    const comm::Exchange exchange =
        comm::transact(rig.state.portHandle.get(), request, DeviceState::maintenanceKey, nullptr);
    if (exchange.result != expectedResult(request.kind, fault)) {
      ++mismatches;
      ADD_FAILURE() << "transaction " << i << ": kind " << static_cast<int>(request.kind)
                    << ", fault " << sim::faultName(fault) << ", result " << exchange.result;
    }
    rig.serial.clearWireLog();  // the test's own record of the line; not the program's
    // Callers pace their requests; a late answer lands in the pause and is discarded.
    rig.clock.sleepMs(fault == Fault::late ? 1500 : 300);
    if (i == 1000) peakAfterWarmUp = peakKilobytes();
  }
  const long peak = peakKilobytes();
  std::printf(
      "long run: %d transactions, %d faults injected, %d reopens, %d mismatches, %d live port "
      "handles (1 expected), leaked handles %d, peak memory %ld kB (%+ld kB after the first "
      "1000), %.0f s of virtual time\n",
      kTransactions, faults, reopens, mismatches, rig.serial.liveHandles(),
      rig.serial.liveHandles() - 1, peak, peak - peakAfterWarmUp,
      static_cast<double>(rig.clock.now()) / 1e6);
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(rig.serial.liveHandles(), 1);
  rig.state.portHandle.reset();
  EXPECT_EQ(rig.serial.liveHandles(), 0);
}

}  // namespace
