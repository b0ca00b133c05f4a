// openPort on the virtual backend: argument checks, closing first, the line settings and
// time-outs it applies, and what the handle holds after each failure.

#include <gtest/gtest.h>

#include <vector>

#include "link/OpenPort.h"
#include "link/VirtualLine.h"

namespace {

struct Ports {
  platform::VirtualClock clock;
  comm::VirtualSerialSystem system{clock};
  comm::PortHandle handle;

  Ports() {
    for (int n : {1, 3, 9, 10, 39}) system.addPort(n);
  }
  int open(int number, int baud = 9600, int parity = 0, int timeout = 200) {
    return comm::openPort(handle, system, number, baud, parity, timeout);
  }
};

TEST(OpenPort, OpensByTheWindowsDeviceName) {
  Ports ports;
  EXPECT_EQ(ports.open(9), 0);
  EXPECT_EQ(ports.open(10), 0);
  EXPECT_EQ(ports.system.openedNames(), (std::vector<std::string>{"COM9", "\\\\.\\COM10"}));
  EXPECT_TRUE(ports.system.isOpen(10));
  EXPECT_FALSE(ports.system.isOpen(9));
}

TEST(OpenPort, AppliesTheLineSettingsAndTimeouts) {
  struct Case {
    int baud;
    int parityCode;
    std::uint8_t platformParity;
  };
  // 14400 is none of the program's speeds but lies in the accepted range.
  for (const Case& c : {Case{9600, 0, comm::kNoParity}, Case{19200, 1, comm::kEvenParity},
                        Case{57600, 2, comm::kOddParity}, Case{14400, 0, comm::kNoParity}}) {
    Ports ports;
    ASSERT_EQ(ports.open(3, c.baud, c.parityCode, 300), 0);
    const comm::LineConfig config = ports.system.lineConfig(3);
    EXPECT_EQ(config.baudRate, static_cast<std::uint32_t>(c.baud));
    EXPECT_EQ(config.parity, c.platformParity);
    EXPECT_EQ(config.byteSize, 8);
    EXPECT_EQ(config.stopBits, comm::kOneStopBit);
    EXPECT_TRUE(config.fBinary);
    EXPECT_TRUE(config.fParity);
    EXPECT_EQ(config.fDtrControl, comm::kDtrControlDisable);
    EXPECT_EQ(config.fRtsControl, comm::kRtsControlDisable);
    EXPECT_FALSE(config.fOutxCtsFlow || config.fOutxDsrFlow || config.fDsrSensitivity ||
                 config.fTXContinueOnXoff || config.fOutX || config.fInX || config.fErrorChar ||
                 config.fNull || config.fAbortOnError);
    comm::CommTimeouts expected;
    expected.readTotalTimeoutConstant = 300;
    expected.writeTotalTimeoutConstant = 300;
    EXPECT_EQ(ports.system.timeouts(3), expected);
  }
}

TEST(OpenPort, BadArgumentsKeepThePreviousPort) {
  struct Case {
    int number, baud, parity;
  };
  for (const Case& c : {Case{0, 9600, 0}, Case{40, 9600, 0}, Case{3, 9599, 0}, Case{3, 57601, 0},
                        Case{3, 9600, 3}, Case{3, 9600, -1}}) {
    Ports ports;
    ASSERT_EQ(ports.open(1), 0);
    comm::SerialPort* before = ports.handle.get();
    EXPECT_EQ(ports.open(c.number, c.baud, c.parity), -10);
    EXPECT_EQ(ports.handle.get(), before);
    EXPECT_TRUE(ports.system.isOpen(1));
    EXPECT_EQ(ports.system.openedNames().size(), 1u);
  }
}

TEST(OpenPort, ReopeningTheHeldPortClosesItFirst) {
  Ports ports;
  ASSERT_EQ(ports.open(3, 9600), 0);
  EXPECT_EQ(ports.open(3, 57600, 2), 0);
  EXPECT_TRUE(ports.system.isOpen(3));
  EXPECT_EQ(ports.system.lineConfig(3).baudRate, 57600u);
  // Moving to another port releases the first one.
  EXPECT_EQ(ports.open(1), 0);
  EXPECT_FALSE(ports.system.isOpen(3));
}

TEST(OpenPort, WhatTheHandleHoldsAfterEachFailure) {
  enum class Step { absent, held, getState, setState, timeouts };
  struct Case {
    Step step;
    int result;
    bool handleLeftOpen;
  };
  for (const Case& c :
       {Case{Step::absent, -1, false}, Case{Step::held, -1, false}, Case{Step::getState, -2, true},
        Case{Step::setState, -3, true}, Case{Step::timeouts, -4, true}}) {
    Ports ports;
    ASSERT_EQ(ports.open(1), 0);
    auto& faults = ports.system.faults(3);
    faults.held = c.step == Step::held;
    faults.failGetState = c.step == Step::getState;
    faults.failSetState = c.step == Step::setState;
    faults.failTimeouts = c.step == Step::timeouts;
    const int target = c.step == Step::absent ? 4 : 3;
    const comm::LineConfig driverConfig = ports.system.lineConfig(3);

    EXPECT_EQ(ports.open(target, 19200, 1, 500), c.result);
    EXPECT_FALSE(ports.system.isOpen(1)) << "the previous port is closed first";
    EXPECT_EQ(ports.handle != nullptr, c.handleLeftOpen);
    EXPECT_EQ(ports.system.isOpen(3), c.handleLeftOpen);
    if (c.step == Step::setState) {
      EXPECT_EQ(ports.system.lineConfig(3), driverConfig);
    }
    if (c.step == Step::timeouts) {
      EXPECT_EQ(ports.system.lineConfig(3).baudRate, 19200u);
      EXPECT_EQ(ports.system.timeouts(3), comm::CommTimeouts{});
    }
  }
}

}  // namespace
