// The communication parameter editor against the simulated unit on the virtual line.

#include <gtest/gtest.h>

#include "dialogs/set1.h"
#include "link/OpenPort.h"
#include "link/Transaction.h"
#include "resources/CommTemplate.h"
#include "tests/support/Rig.h"

namespace {

using testing_support::Rig;
using ui::headless::HeadlessWindow;
using ui::headless::Script;
namespace ids = res::comm_params;
using Bytes = std::vector<std::uint8_t>;

// A rig where the search has found the unit on COM3 with these line settings.
struct Found : Rig {
  explicit Found(comm::LineSettingCodes codes, int station = 1) {
    plugUnit(3);
    unit.setStation(station);
    unit.setLineCodes(codes);
    found(3);
  }
  // The maintenance write the editor sent, if any.
  std::optional<Bytes> writeSent() const {
    for (const Bytes& r : requestsTo(3))
      if (r[0] == 0xFF && r[1] == 0x06) return r;
    return std::nullopt;
  }
  bool unitAnswersOnStatePort() {
    return comm::transact(state.portHandle.get(), comm::unitInfoRead(), 0, nullptr).result == 0;
  }
};

Bytes keyedFrame(Bytes six) {
  const std::uint16_t check = comm::checkValue(six.data(), true, DeviceState::maintenanceKey);
  six.push_back(static_cast<std::uint8_t>(check & 0xFF));
  six.push_back(static_cast<std::uint8_t>(check >> 8));
  return six;
}

TEST(CommEditor, OpensWithTheStoredValues) {
  Found rig({2, 1, 3}, 7);  // 57600, even, 80 ms
  rig.run<set1>(Script()
                    .inspect([](HeadlessWindow& w) {
                      EXPECT_EQ(w.position(ids::kAddressSpin), 7);
                      EXPECT_EQ(w.text(ids::kAddressValue), "7");
                      EXPECT_EQ(w.range(ids::kAddressSpin), (std::pair{1, 99}));
                      EXPECT_TRUE(w.isChecked(ids::kSpeed57600));
                      EXPECT_FALSE(w.isEnabled(ids::kSpeed57600));
                      EXPECT_TRUE(w.isChecked(ids::kParityEven));
                      EXPECT_TRUE(w.isChecked(1030));
                      EXPECT_EQ(w.text(ids::kStatus), "");
                      EXPECT_EQ(w.placement().x, 312);
                      EXPECT_EQ(w.placement().y, 274);
                      EXPECT_EQ(w.placement().width, 400);
                      EXPECT_EQ(w.placement().height, 220);
                    })
                    .escape());
  EXPECT_TRUE(rig.ui->problems().empty());
  EXPECT_TRUE(rig.serial.wireLog().empty()) << "opening sends nothing";
}

TEST(CommEditor, WritesNewSettingsAndFollowsTheUnit) {
  Found rig({0, 0, 0});
  rig.run<set1>(Script()
                    .spin(ids::kAddressSpin, 5)
                    .click(ids::kSpeed19200)
                    .click(ids::kParityEven)
                    .click(1029)  // 40 ms
                    .click(ids::kWrite)
                    .ok()
                    .click(res::kIdOk));
  EXPECT_TRUE(rig.ui->problems().empty());
  EXPECT_EQ(rig.boxes(), std::vector<std::string>{"書込みに成功しました。"});
  EXPECT_EQ(rig.writeSent(), keyedFrame({0xFF, 0x06, 0x1C, 0x05, 0x25, 0x00}));
  EXPECT_EQ(rig.state.unitAddress, 5);
  EXPECT_EQ(rig.state.speedCode, 1);
  EXPECT_EQ(rig.state.parityCode, 1);
  EXPECT_EQ(rig.state.delayCode, 2);
  EXPECT_EQ(rig.state.portBaud, 19200);
  EXPECT_EQ(rig.state.portParity, 1);
  // The unit took the settings, and the program's port followed it.
  EXPECT_EQ(rig.unit.station(), 5);
  EXPECT_EQ(rig.serial.lineConfig(3).baudRate, 19200u);
  EXPECT_EQ(rig.serial.lineConfig(3).parity, comm::kEvenParity);
  EXPECT_TRUE(rig.unitAnswersOnStatePort());
}

TEST(CommEditor, A57600UnitKeepsItsSpeedUnlessAnotherIsChosen) {
  Found rig({2, 0, 0});
  rig.run<set1>(Script()
                    .click(ids::kWrite)
                    .ok()
                    .click(ids::kSpeed9600)
                    .inspect([](HeadlessWindow& w) {
                      EXPECT_FALSE(w.isChecked(ids::kSpeed57600));
                      EXPECT_FALSE(w.isEnabled(ids::kSpeed57600)) << "cannot be chosen again";
                    })
                    .escape());
  ASSERT_TRUE(rig.writeSent());
  EXPECT_EQ((*rig.writeSent())[4] & 0x03, 2) << "speed code 2 sent";
  EXPECT_EQ(rig.serial.lineConfig(3).baudRate, 57600u);
  EXPECT_EQ(rig.state.portBaud, 57600);
  EXPECT_TRUE(rig.unitAnswersOnStatePort());
}

TEST(CommEditor, CodesOutsideTheTablesShowAndSendTheirFallBacks) {
  Found rig({2, 2, 0});
  rig.state.speedCode = 3;
  rig.state.parityCode = 3;
  rig.state.delayCode = 9;
  rig.run<set1>(Script()
                    .inspect([](HeadlessWindow& w) {
                      EXPECT_TRUE(w.isChecked(ids::kSpeed57600));
                      EXPECT_TRUE(w.isChecked(ids::kParityOdd));
                      EXPECT_TRUE(w.isChecked(ids::kDelay200));
                    })
                    .click(ids::kWrite)
                    .ok()
                    .escape());
  ASSERT_TRUE(rig.writeSent());
  EXPECT_EQ((*rig.writeSent())[4], comm::packLineByte({2, 2, 5}));
  EXPECT_EQ(rig.state.speedCode, 2);
  EXPECT_EQ(rig.state.parityCode, 2);
  EXPECT_EQ(rig.state.delayCode, 5);
}

TEST(CommEditor, TheAnswerIsJudgedByLengthAndFirstBytesOnly) {
  struct Case {
    sim::Fault fault;
    const char* box;
  };
  for (const Case& c : {Case{sim::Fault::badCheck, "書込みに成功しました。"},
                        Case{sim::Fault::wrongStation, "書込みに失敗しました。"},
                        Case{sim::Fault::longByOne, "書込みに失敗しました。"},
                        Case{sim::Fault::silent, "書込みに失敗しました。"},
                        Case{sim::Fault::exception, "書込みに失敗しました。"}}) {
    Found rig({0, 0, 0});
    rig.unit.fault.kind = c.fault;
    rig.run<set1>(Script()
                      .spin(ids::kAddressSpin, 9)
                      .click(ids::kSpeed19200)
                      .click(ids::kParityOdd)
                      .click(ids::kWrite)
                      .ok()
                      .escape());
    EXPECT_EQ(rig.boxes(), std::vector<std::string>{c.box}) << sim::faultName(c.fault);
    // Failed or not, the dialog's values are in DeviceState and the port runs at its settings.
    EXPECT_EQ(rig.state.unitAddress, 9);
    EXPECT_EQ(rig.state.speedCode, 1);
    EXPECT_EQ(rig.state.parityCode, 2);
    EXPECT_EQ(rig.state.portBaud, 19200);
    EXPECT_EQ(rig.state.portParity, 2);
    EXPECT_EQ(rig.serial.lineConfig(3).baudRate, 19200u);
    EXPECT_EQ(rig.serial.lineConfig(3).parity, comm::kOddParity);
  }
}

TEST(CommEditor, DefaultsChangeOnlyTheControls) {
  Found rig({2, 2, 4}, 42);
  rig.run<set1>(Script()
                    .click(ids::kDefaults)
                    .inspect([](HeadlessWindow& w) {
                      EXPECT_EQ(w.position(ids::kAddressSpin), 1);
                      EXPECT_TRUE(w.isChecked(ids::kSpeed19200));
                      EXPECT_FALSE(w.isChecked(ids::kSpeed57600));
                      EXPECT_TRUE(w.isChecked(ids::kParityNone));
                      EXPECT_FALSE(w.isChecked(ids::kParityOdd));
                      EXPECT_TRUE(w.isChecked(1028));
                      EXPECT_FALSE(w.isChecked(1031));
                    })
                    .escape());
  EXPECT_TRUE(rig.serial.wireLog().empty());
  EXPECT_EQ(rig.state.unitAddress, 42);
  EXPECT_EQ(rig.state.speedCode, 2);
  EXPECT_EQ(rig.state.delayCode, 4);
  EXPECT_EQ(rig.unit.station(), 42);
}

TEST(CommEditor, WithNoPortOpenTheWriteFailsAndThePortIsStillReopened) {
  Found rig({0, 0, 1}, 3);
  rig.state.portHandle.reset();
  rig.run<set1>(
      Script().spin(ids::kAddressSpin, 8).click(ids::kSpeed19200).click(ids::kWrite).ok().escape());
  EXPECT_EQ(rig.boxes(), std::vector<std::string>{"書込みに失敗しました。"});
  EXPECT_EQ(rig.state.unitAddress, 3) << "the codes stay as they were";
  EXPECT_EQ(rig.state.delayCode, 1);
  EXPECT_EQ(rig.state.portBaud, 19200) << "set from the buttons all the same";
  EXPECT_TRUE(rig.serial.isOpen(3));
  EXPECT_EQ(rig.serial.lineConfig(3).baudRate, 19200u);
  EXPECT_EQ(rig.requestsTo(3).size(), 0u);
}

TEST(CommEditor, TheAddressByteStaysWithinItsRange) {
  Found rig({0, 0, 0});
  rig.run<set1>(Script().spin(ids::kAddressSpin, 150).click(ids::kWrite).ok().escape());
  ASSERT_TRUE(rig.writeSent());
  EXPECT_EQ((*rig.writeSent())[3], 99);
}

}  // namespace
