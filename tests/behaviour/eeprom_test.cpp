// EEPROM maintenance: the listing, single-cell writes, the test buttons and the dump file.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "dialogs/eeprom.h"
#include "link/OpenPort.h"
#include "resources/EepromTemplate.h"
#include "tests/support/Rig.h"
#include "tests/support/TempDir.h"

namespace {

using testing_support::Rig;
using testing_support::TempDir;
using ui::headless::HeadlessWindow;
using ui::headless::Script;
namespace ids = res::eeprom;
namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

std::vector<std::string> lines(HeadlessWindow& w) {
  std::vector<std::string> out;
  for (int i = 0; i < w.lineCount(ids::kList); ++i) out.push_back(w.lineText(ids::kList, i));
  return out;
}

// The unit found on COM3, the program in a folder of its own.
struct Maintenance : Rig {
  TempDir programFolder;
  Maintenance() {
    plugUnit(3);
    found(3);
    platform.executable = programFolder.path();
  }
  std::vector<Bytes> maintenanceWrites() const {
    std::vector<Bytes> out;
    for (const Bytes& r : requestsTo(3))
      if (r[0] == 0xFF && r[1] == 0x06) out.push_back(r);
    return out;
  }
};

TEST(EepromDialog, OpensReady) {
  Maintenance rig;
  rig.run<eeprom>(Script()
                      .inspect([](HeadlessWindow& w) {
                        EXPECT_EQ(w.lineCount(ids::kList), 0);
                        EXPECT_EQ(w.text(ids::kStatus), "msg1");
                        EXPECT_EQ(w.position(ids::kCellSpin), 100);
                        EXPECT_EQ(w.text(ids::kCellValue), "100");
                        EXPECT_EQ(w.range(ids::kCellSpin), (std::pair{0, 255}));
                        EXPECT_EQ(w.text(ids::kValue), "0");
                        EXPECT_EQ(w.placement().x, 272);
                        EXPECT_EQ(w.placement().y, 194);
                        EXPECT_EQ(w.placement().width, 480);
                      })
                      .escape());
  EXPECT_TRUE(rig.requestsTo(3).empty());
}

TEST(EepromDialog, ReadListsEveryCellByBlock) {
  Maintenance rig;
  rig.unit.setCell(5, -12);
  rig.unit.setCell(7, 1);
  rig.unit.setCell(40, -1);       // 0xFFFF
  rig.unit.setCell(100, -32768);  // 0x8000
  rig.unit.setCell(113, 32767);
  platform::Micros before = 0;
  rig.run<eeprom>(
      Script()
          .inspect([&](HeadlessWindow&) { before = rig.clock.now(); })
          .click(ids::kRead)
          .inspect([&](HeadlessWindow& w) {
            EXPECT_EQ(rig.clock.now() - before, platform::millis(3 * 200 + 600));
            const auto l = lines(w);
            ASSERT_EQ(l.size(), 116u);
            EXPECT_EQ(l[0], "2021/3/9  08:05:07");
            EXPECT_EQ(l[1], "EEP address, value");
            EXPECT_EQ(l[2], "00: unused , 0 ");
            EXPECT_EQ(l[2 + 5], "05: g_SPC_OUT , -12 ");
            EXPECT_EQ(l[2 + 7], "07: g_SPC_FUSE , 1 ");
            EXPECT_EQ(l[2 + 35], "35: g_u2_adrs , 1 ");
            EXPECT_EQ(l[2 + 38], "38: g_u2_delay , 0 ");
            EXPECT_EQ(l[2 + 40], "40: g_Vref , -1 ");
            EXPECT_EQ(l[2 + 88], "88: PASS , 0 ");
            EXPECT_EQ(l[2 + 100], "100: unused , -32768 ");
            EXPECT_EQ(l[115], "113: unused , 32767 ");
          })
          .click(ids::kCount)
          .inspect([](HeadlessWindow& w) { EXPECT_EQ(w.text(ids::kStatus), "value: 116"); })
          .escape());
  EXPECT_TRUE(rig.ui->problems().empty());
  const auto requests = rig.requestsTo(3);
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0], (Bytes{0xFF, 0x03, 0x1D, 0x00, 0x00, 0x00, 0x56, 0x78}));
  EXPECT_EQ(requests[1], (Bytes{0xFF, 0x03, 0x1E, 0x00, 0x00, 0x00, 0x56, 0x3C}));
  EXPECT_EQ(requests[2], (Bytes{0xFF, 0x03, 0x1F, 0x00, 0x00, 0x00, 0x57, 0xC0}));
}

TEST(EepromDialog, BlockAnswersAreJudgedByLengthAndFunctionByte) {
  struct Case {
    const char* what;
    sim::FaultSwitch fault;
    std::size_t lineCount;
    const char* thirdLine;
  };
  const std::vector<Case> cases{
      {"80 bytes", {sim::Fault::longByOne, 0, 1, 0}, 116, "00: unused , 0 "},
      {"another station byte", {sim::Fault::wrongStation, 0, 1, 0}, 116, "00: unused , 0 "},
      {"78 bytes", {sim::Fault::shortByOne, 0, 1, 0}, 79, "Failed to read!(EEP_DR1)"},
      {"wrong function", {sim::Fault::wrongFunction, 0, 1, 0}, 79, "Failed to read!(EEP_DR1)"},
      {"all silent", {sim::Fault::silent, 0, -1, 0}, 5, "Failed to read!(EEP_DR1)"},
  };
  for (const Case& c : cases) {
    Maintenance rig;
    rig.unit.fault = c.fault;
    rig.run<eeprom>(Script()
                        .click(ids::kRead)
                        .inspect([&c](HeadlessWindow& w) {
                          const auto l = lines(w);
                          ASSERT_EQ(l.size(), c.lineCount) << c.what;
                          EXPECT_EQ(l[2], c.thirdLine) << c.what;
                          if (c.lineCount == 5) {
                            EXPECT_EQ(l[3], "Failed to read!(EEP_DR2)");
                            EXPECT_EQ(l[4], "Failed to read!(EEP_DR3)");
                          }
                        })
                        .escape());
    EXPECT_EQ(rig.requestsTo(3).size(), 3u) << "every block is read: " << c.what;
  }
}

TEST(EepromDialog, WithNoPortOpenEachBlockSaysSo) {
  Maintenance rig;
  rig.state.portHandle.reset();
  rig.run<eeprom>(Script()
                      .click(ids::kRead)
                      .ok()
                      .ok()
                      .ok()
                      .inspect([](HeadlessWindow& w) { EXPECT_EQ(w.lineCount(ids::kList), 2); })
                      .click(ids::kWrite)
                      .ok()
                      .escape());
  EXPECT_EQ(rig.boxes(), (std::vector<std::string>{"Port yet to open", "Port yet to open",
                                                   "Port yet to open", "result:92"}));
  EXPECT_EQ(rig.clock.now(), platform::millis(600)) << "the two pauses still pass";
}

TEST(EepromDialog, WriteTakesTheCellFromTheSpinAndTheValueAsAtoiWould) {
  struct Case {
    const char* text;
    std::uint16_t value;
  };
  const std::vector<Case> cases{
      {"abc", 0},
      {"", 0},
      {"  42", 42},
      {"12ab", 12},
      {"65536", 0},
      {"-1", 0xFFFF},
      {"+7", 7},
      {"\t-32768", 0x8000},
      {"70000", 70000 - 65536},
      {"99999999999999999999", 0xFFFF},  // 10^20 is a multiple of 65536
  };
  for (const Case& c : cases) EXPECT_EQ(parseCellValue(c.text), c.value) << '"' << c.text << '"';

  Maintenance rig;
  rig.run<eeprom>(Script()
                      .spin(ids::kCellSpin, 255)
                      .type(ids::kValue, "-1")
                      .click(ids::kWrite)
                      .ok()
                      .spin(ids::kCellSpin, 60)
                      .type(ids::kValue, "1234")
                      .click(ids::kWrite)
                      .ok()
                      .click(ids::kRead)
                      .inspect([](HeadlessWindow& w) {
                        EXPECT_EQ(lines(w).at(2 + 60), "60: g_COM_TR6 , 1234 ");
                      })
                      .escape());
  const auto writes = rig.maintenanceWrites();
  ASSERT_EQ(writes.size(), 2u);
  const std::uint16_t check = comm::checkValue(writes[0].data(), true, DeviceState::maintenanceKey);
  EXPECT_EQ(writes[0], (Bytes{0xFF, 0x06, 0x1D, 0xFF, 0xFF, 0xFF, static_cast<std::uint8_t>(check),
                              static_cast<std::uint8_t>(check >> 8)}));
  EXPECT_EQ(writes[1][3], 60) << "cell 60 is register 0x1D3C";
  EXPECT_EQ(rig.unit.controlReg(comm::COM_TR6), 1234) << "the cell is the unit's COM_TR6";
  EXPECT_EQ(rig.boxes(), (std::vector<std::string>{"result:0", "result:0"}));
}

TEST(EepromDialog, WriteAnswersOtherThanEightBytesFromFFFail) {
  for (sim::Fault fault : {sim::Fault::longByOne, sim::Fault::silent, sim::Fault::exception,
                           sim::Fault::wrongStation}) {
    Maintenance rig;
    rig.unit.fault.kind = fault;
    rig.run<eeprom>(Script().click(ids::kWrite).ok().escape());
    EXPECT_EQ(rig.boxes(), std::vector<std::string>{"result:1"}) << sim::faultName(fault);
  }
}

TEST(EepromDialog, TestButtonsActOnTheListOnly) {
  Maintenance rig;
  rig.run<eeprom>(
      Script()
          .click(ids::kTestLines)
          .click(ids::kTestLines)
          .inspect([](HeadlessWindow& w) {
            const auto l = lines(w);
            ASSERT_EQ(l.size(), 20u);
            EXPECT_EQ(l[0], "adrs:00 ");
            EXPECT_EQ(l[19], "adrs:09 ");
          })
          .click(ids::kClear)
          .click(ids::kCount)
          .inspect([](HeadlessWindow& w) { EXPECT_EQ(w.text(ids::kStatus), "value: 0"); })
          .click(ids::kUnusedWrite)
          .enter()  // OK is the default button: Enter ends the dialog, writing nothing
  );
  EXPECT_TRUE(rig.requestsTo(3).empty());
  EXPECT_TRUE(rig.ui->problems().empty());
}

TEST(EepromDialog, ReadingTwiceKeepsOneReading) {
  Maintenance rig;
  rig.run<eeprom>(Script()
                      .click(ids::kRead)
                      .inspect([&rig](HeadlessWindow&) { rig.platform.time.second = 59; })
                      .click(ids::kRead)
                      .inspect([](HeadlessWindow& w) {
                        ASSERT_EQ(w.lineCount(ids::kList), 116);
                        EXPECT_EQ(w.lineText(ids::kList, 0), "2021/3/9  08:05:59");
                      })
                      .escape());
}

TEST(EepromDump, WritesTheListLineForLine) {
  Maintenance rig;
  rig.unit.fault = {sim::Fault::silent, 1, 1, 0};  // EEP_DR2 fails
  rig.run<eeprom>(Script().click(ids::kRead).click(ids::kRecord).ok().escape());
  EXPECT_EQ(rig.boxes(),
            std::vector<std::string>{"設定を記録しました。\rファイル: EEP_20210309080507.csv"});
  const std::string dump =
      testing_support::readFile(rig.programFolder.path() + "/EEP_20210309080507.csv");
  std::string expected = "2021/3/9  08:05:07\r\nEEP address, value\r\n";
  const auto& names = eepromCellNames();
  for (int cell = 0; cell < 38; ++cell)
    expected += eepromLine(cell, names[cell], rig.unit.cell(cell)) + "\r\n";
  expected += "Failed to read!(EEP_DR2)\r\n";
  for (int cell = 76; cell < 114; ++cell)
    expected += eepromLine(cell, names[cell], rig.unit.cell(cell)) + "\r\n";
  EXPECT_EQ(dump, expected);
  EXPECT_EQ(std::count(dump.begin(), dump.end(), '\n'), 79);
}

TEST(EepromDump, EmptyListsAndFailures) {
  Maintenance rig;
  rig.run<eeprom>(
      Script()
          .click(ids::kRecord)
          .ok()
          .click(ids::kTestLines)
          .click(ids::kClear)
          .click(ids::kRecord)
          .ok()
          .click(ids::kTestLines)
          .inspect([&rig](HeadlessWindow&) { rig.platform.diskFull = true; })
          .click(ids::kRecord)
          .ok()
          .inspect([&rig](HeadlessWindow&) {
            rig.platform.diskFull = false;
            rig.platform.executable = rig.programFolder.path() + "/missing";
          })
          .click(ids::kRecord)
          .ok()
          .inspect([&rig](HeadlessWindow&) { rig.platform.executable = rig.programFolder.path(); })
          .click(ids::kRecord)
          .ok()
          .escape());
  EXPECT_EQ(rig.boxes(),
            (std::vector<std::string>{"No data", "No data", "ファイルを作成できません",
                                      "ファイルを作成できません",
                                      "設定を記録しました。\rファイル: EEP_20210309080507.csv"}));
  std::string expected;
  for (int n = 0; n < 10; ++n) expected += "adrs:0" + std::to_string(n) + " \r\n";
  EXPECT_EQ(testing_support::readFile(rig.programFolder.path() + "/EEP_20210309080507.csv"),
            expected);
  EXPECT_EQ(
      std::distance(fs::directory_iterator(rig.programFolder.path()), fs::directory_iterator{}), 1);
}

}  // namespace
