// The main window and the port scan, played through the headless backend against a simulated
// unit on the virtual line.

#include <gtest/gtest.h>

#include "dialogs/search.h"
#include "resources/SearchTemplate.h"
#include "tests/support/Rig.h"

namespace {

using testing_support::Rig;
using ui::headless::HeadlessWindow;
using ui::headless::Script;
namespace ids = res::search;

constexpr const char* kPrompt = "範囲を設定し検索開始ボタンを押してください...";

int unitInfoReads(const Rig& rig, int port) {
  int n = 0;
  for (const auto& request : rig.requestsTo(port))
    if (request[0] == 0xFF && request[1] == 0x03 && request[2] == 0x1C) ++n;
  return n;
}

TEST(MainWindow, OpensReadyToSearch) {
  Rig rig;
  const int result = rig.run<search>(Script()
                                         .inspect([](HeadlessWindow& w) {
                                           EXPECT_EQ(w.title(), "QTR77 Configurator ver1.14");
                                           EXPECT_TRUE(w.isChecked(ids::kRangeCom1));
                                           EXPECT_TRUE(w.isChecked(ids::kTimeout200));
                                           EXPECT_FALSE(w.isChecked(ids::kRangeCom10));
                                           EXPECT_TRUE(w.isEnabled(ids::kStart));
                                           EXPECT_FALSE(w.isEnabled(ids::kEditComm));
                                           EXPECT_FALSE(w.isEnabled(ids::kEditControl));
                                           EXPECT_FALSE(w.isEnabled(ids::kEeprom));
                                           EXPECT_EQ(w.text(ids::kMsg1), kPrompt);
                                           EXPECT_EQ(w.text(ids::kMsg2), "");
                                           // 1024 x 768: ((1024-410)/2, (768-200)/2).
                                           EXPECT_EQ(w.placement().x, 307);
                                           EXPECT_EQ(w.placement().y, 284);
                                           EXPECT_EQ(w.placement().width, 410);
                                           EXPECT_EQ(w.placement().height, 200);
                                         })
                                         .escape());
  EXPECT_EQ(result, 2) << "Esc ends the main window, and with it the program";
  EXPECT_TRUE(rig.ui->problems().empty());
  EXPECT_EQ(rig.state.portHandle, nullptr);
}

TEST(MainWindow, PlacementTruncatesOnOddScreens) {
  Rig rig;
  rig.platform.screen = {1365, 767};
  rig.run<search>(Script().escape());
  EXPECT_TRUE(rig.saw("move: 477,283 410x200"));
}

TEST(PortScan, FindsAUnitAt57600OddOnCom3AtTheTwentySeventhAttempt) {
  Rig rig;
  rig.serial.addPort(1);
  rig.serial.addPort(2);
  rig.plugUnit(3);
  rig.unit.setStation(7);
  rig.unit.setLineCodes(comm::unpackLineByte(0x5A));  // 57600, odd, 200 ms
  rig.unit.firmwareVersion = 114;
  rig.unit.setSpecReg(comm::g_SPC_VOL, 3);
  rig.unit.setSpecReg(comm::g_SPC_FB, 4);  // byte 5 = 0x43

  // The unit waits 200 ms before it answers, so the search needs more than 200 ms.
  rig.run<search>(Script()
                      .click(ids::kTimeout300)
                      .click(ids::kStart)
                      .ok()
                      .inspect([](HeadlessWindow& w) {
                        EXPECT_TRUE(w.isEnabled(ids::kStart));
                        EXPECT_TRUE(w.isEnabled(ids::kEditComm));
                        EXPECT_TRUE(w.isEnabled(ids::kEditControl));
                        EXPECT_TRUE(w.isEnabled(ids::kEeprom));
                        EXPECT_EQ(w.text(ids::kMsg1), kPrompt);
                      })
                      .escape());

  EXPECT_TRUE(rig.ui->problems().empty());
  EXPECT_EQ(unitInfoReads(rig, 1) + unitInfoReads(rig, 2) + unitInfoReads(rig, 3), 27);
  EXPECT_EQ(unitInfoReads(rig, 3), 9);
  EXPECT_EQ(rig.boxes(), std::vector<std::string>{"QTR77を COM3 で発見しました。\r"
                                                  "通信アドレス: 7\r"
                                                  "通信速度: 57600bps\r"
                                                  "通信パリティ: ODD\r"
                                                  "通信ディレイ: 200ms\r"
                                                  "電源電圧: 380v\r"
                                                  "制御方式: FBなし\r"
                                                  "master F/W: ver1.14"});
  EXPECT_EQ(rig.state.portNumber, 3);
  EXPECT_EQ(rig.state.portBaud, 57600);
  EXPECT_EQ(rig.state.portParity, 2);
  EXPECT_EQ(rig.state.portTimeout, 300);
  EXPECT_EQ(rig.state.unitAddress, 7);
  EXPECT_EQ(rig.state.speedCode, 2);
  EXPECT_EQ(rig.state.parityCode, 2);
  EXPECT_EQ(rig.state.delayCode, 5);
  EXPECT_EQ(rig.state.masterVersion, 114);
  EXPECT_EQ(rig.state.supplyVoltageCode, 3);
  EXPECT_EQ(rig.state.controlMethodCode, 4);
  // The port stays open at the settings of the successful attempt.
  ASSERT_TRUE(rig.serial.isOpen(3));
  EXPECT_EQ(rig.serial.lineConfig(3).baudRate, 57600u);
  EXPECT_EQ(rig.serial.lineConfig(3).parity, comm::kOddParity);
  // Every attempt that reached its read lasted the whole time-out.
  EXPECT_EQ(rig.clock.now(), platform::millis(27 * 300));
  // The status line changed once per port, in order.
  const auto& t = rig.transcript();
  const auto com1 = std::find(t.begin(), t.end(), "status: お待ち下さい....COM1 検索中....");
  const auto com3 = std::find(t.begin(), t.end(), "status: お待ち下さい....COM3 検索中....");
  ASSERT_NE(com1, t.end());
  EXPECT_LT(com1, com3);
  EXPECT_EQ(std::find(t.begin(), t.end(), "status: お待ち下さい....COM4 検索中...."), t.end());
}

TEST(PortScan, EnterStartsTheSearchAndTheWindowStaysOpen) {
  Rig rig;
  rig.plugUnit(1);
  rig.unit.fault.kind = sim::Fault::longByOne;  // a 9-byte answer is accepted too
  rig.run<search>(Script()
                      .enter()
                      .ok()
                      .inspect([](HeadlessWindow& w) { EXPECT_TRUE(w.isEnabled(ids::kEditComm)); })
                      .escape());
  EXPECT_TRUE(rig.ui->problems().empty());
  ASSERT_EQ(rig.boxes().size(), 1u);
  EXPECT_EQ(rig.boxes()[0].rfind("QTR77を COM1 で発見しました。", 0), 0u);
}

TEST(PortScan, ImplausibleAnswersAreRejected) {
  struct Case {
    const char* what;
    int station;
    int firmware;
  };
  for (const Case& c :
       {Case{"station 100", 100, 120}, Case{"station 0", 0, 120}, Case{"firmware 0", 5, 0}}) {
    Rig rig;
    rig.plugUnit(4);
    rig.unit.setStation(c.station);
    rig.unit.firmwareVersion = c.firmware;
    rig.run<search>(Script().click(ids::kStart).ok().escape());
    EXPECT_EQ(rig.boxes(), std::vector<std::string>{"応答がありません"}) << c.what;
    // The settings at which the well-formed answer came were kept before it was judged.
    EXPECT_EQ(rig.state.portNumber, 4) << c.what;
    EXPECT_EQ(rig.state.portBaud, 9600) << c.what;
    EXPECT_EQ(rig.state.unitAddress, 0) << c.what;
    EXPECT_EQ(unitInfoReads(rig, 4), 9) << c.what;
  }
}

TEST(PortScan, FailedSearchDisablesTheEditorsAndLeavesTheLastPortOpen) {
  Rig rig;
  rig.serial.addPort(9);  // present, silent
  rig.run<search>(Script()
                      .click(ids::kStart)
                      .ok()
                      .inspect([](HeadlessWindow& w) {
                        EXPECT_FALSE(w.isEnabled(ids::kEditComm));
                        EXPECT_FALSE(w.isEnabled(ids::kEditControl));
                        EXPECT_FALSE(w.isEnabled(ids::kEeprom));
                        EXPECT_TRUE(w.isEnabled(ids::kStart));
                        EXPECT_EQ(w.text(ids::kMsg1), kPrompt);
                      })
                      .escape());
  EXPECT_EQ(rig.boxes(), std::vector<std::string>{"応答がありません"});
  // A present but silent port costs exactly nine time-outs, the absent ones nothing.
  EXPECT_EQ(rig.clock.now(), platform::millis(9 * 200));
  ASSERT_TRUE(rig.serial.isOpen(9));
  EXPECT_EQ(rig.serial.lineConfig(9).baudRate, 57600u);
  EXPECT_EQ(rig.serial.lineConfig(9).parity, comm::kOddParity);
  EXPECT_EQ(rig.state.portNumber, 0);
}

TEST(PortScan, RangeAndTimeoutFollowTheRadioButtons) {
  Rig rig;
  rig.serial.addPort(30);
  rig.run<search>(
      Script().click(ids::kRangeCom30).click(ids::kTimeout500).click(ids::kStart).ok().escape());
  EXPECT_EQ(rig.state.portTimeout, 500);
  EXPECT_EQ(rig.clock.now(), platform::millis(9 * 500));
  const auto& t = rig.transcript();
  const auto firstStatus = std::find_if(t.begin(), t.end(), [](const std::string& line) {
    return line.rfind("status: お待ち下さい....COM", 0) == 0;
  });
  ASSERT_NE(firstStatus, t.end());
  EXPECT_EQ(*firstStatus, "status: お待ち下さい....COM30 検索中....");
  EXPECT_TRUE(rig.saw("status: お待ち下さい....COM39 検索中...."));
  // Ports 30 to 39, nine attempts each, by their device-namespace names.
  const auto& names = rig.serial.openedNames();
  ASSERT_EQ(names.size(), 90u);
  EXPECT_EQ(names.front(), "\\\\.\\COM30");
  EXPECT_EQ(names.back(), "\\\\.\\COM39");
}

TEST(PortScan, SecondSearchKeepsTheEepromButtonUntilItsOutcome) {
  Rig rig;
  rig.plugUnit(2);
  rig.run<search>(
      Script()
          .click(ids::kStart)
          .ok()
          .inspect([&rig](HeadlessWindow&) { rig.unit.fault.kind = sim::Fault::silent; })
          .click(ids::kStart)
          .ok()
          .escape());
  const auto& t = rig.transcript();
  const auto second = std::find(std::find(t.begin(), t.end(), "enable 1064"), t.end(), "> click 1");
  ASSERT_NE(second, t.end());
  // During the second search 1058 and 1063 go off at once; 1064 only when it has failed.
  const auto off1058 = std::find(second, t.end(), "disable 1058");
  const auto box = std::find(second, t.end(), "box: 応答がありません");
  const auto off1064 = std::find(second, t.end(), "disable 1064");
  EXPECT_LT(off1058, box);
  EXPECT_LT(box, off1064);
  EXPECT_NE(off1064, t.end());
}

TEST(EditorLaunch, StatusAndButtonsAroundEachEditor) {
  Rig rig;
  rig.plugUnit(1);
  std::vector<std::string> seen;
  auto watch = [&seen](const char* which) {
    return [&seen, which](DeviceState&, Environment&) { seen.emplace_back(which); };
  };
  rig.editors = {watch("comm"), watch("control"), watch("eeprom")};
  rig.run<search>(Script()
                      .click(ids::kStart)
                      .ok()
                      .click(ids::kEditComm)
                      .click(ids::kEditControl)
                      .click(ids::kEeprom)
                      .inspect([](HeadlessWindow& w) {
                        EXPECT_EQ(w.text(ids::kMsg1), "")
                            << "empty after an editor, not the prompt";
                        EXPECT_TRUE(w.isEnabled(ids::kStart));
                        EXPECT_TRUE(w.isEnabled(ids::kEditControl));
                      })
                      .escape());
  EXPECT_EQ(seen, (std::vector<std::string>{"comm", "control", "eeprom"}));
  const auto& t = rig.transcript();
  const auto control = std::find(t.begin(), t.end(), "> click 1063");
  // The control editor runs with the three buttons off, the others leave them alone.
  const std::vector<std::string> expected{
      "> click 1063", "disable 1",   "disable 1058", "disable 1063", "status: お待ちください...",
      "enable 1",     "enable 1058", "enable 1063",  "status: ",     "> click 1064"};
  ASSERT_LE(static_cast<std::size_t>(t.end() - control), t.size());
  EXPECT_EQ(std::vector<std::string>(control, control + static_cast<long>(expected.size())),
            expected);
  const auto comm = std::find(t.begin(), t.end(), "> click 1058");
  EXPECT_EQ(*(comm + 1), "status: お待ちください...");
  EXPECT_EQ(*(comm + 2), "status: ");
}

TEST(UnitReport, VersionsAndPlaceholders) {
  EXPECT_EQ(versionText(114), "1.14");
  EXPECT_EQ(versionText(5), "0.05");
  EXPECT_EQ(versionText(255), "2.55");
  comm::UnitInfo odd;
  odd.station = 99;
  odd.line = comm::unpackLineByte(0xFF);  // speed 3, parity 3, delay 15
  odd.supplyVoltageCode = 6;
  odd.controlMethodCode = 15;
  EXPECT_EQ(unitReport(12, odd),
            "QTR77を COM12 で発見しました。\r通信アドレス: 99\r通信速度: xxxxxbps\r"
            "通信パリティ: xxx\r通信ディレイ: xxxms\r電源電圧: xxxv\r制御方式: xx");
  comm::UnitInfo plain;
  plain.station = 1;
  EXPECT_EQ(unitReport(1, plain),
            "QTR77を COM1 で発見しました。\r通信アドレス: 1\r通信速度: 9600bps\r"
            "通信パリティ: NON\r通信ディレイ: 10ms\r電源電圧: 200v\r制御方式: P0");
}

}  // namespace
