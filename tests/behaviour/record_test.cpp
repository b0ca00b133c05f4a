// The settings record file: its name, its 35 lines in CP932 with CR LF, and what happens when
// the file cannot be written.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "dialogs/RecordFile.h"
#include "dialogs/SettingsRecord.h"
#include "dialogs/set2.h"
#include "link/OpenPort.h"
#include "resources/ControlTemplate.h"
#include "tests/support/Rig.h"
#include "tests/support/TempDir.h"

namespace {

using testing_support::Rig;
using testing_support::TempDir;
using ui::headless::Script;
namespace ids = res::control_params;
namespace fs = std::filesystem;

std::vector<std::string> filesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  return names;
}

// The control parameter editor open on a unit at station 12, with a documents folder.
struct Recording : Rig {
  TempDir documents;
  Recording() {
    plugUnit(3);
    unit.setStation(12);
    unit.setSpecReg(comm::g_SPC_VOL, 4);
    unit.setSpecReg(comm::g_SPC_CUR, 4);
    unit.setSpecReg(comm::g_SPC_OUT, 3);
    unit.setSpecReg(comm::g_SPC_HB, 1);
    unit.setSpecReg(comm::g_SPC_FUSE, 0);
    unit.setSpecReg(comm::g_SPC_AP, 2);
    found(3);
    // The record takes the codes DeviceState holds, not what the line runs at.
    state.speedCode = 1;
    state.parityCode = 2;
    state.delayCode = 3;
    platform.time = {2005, 1, 2, 3, 4, 5};
    platform.documents = documents.path();
  }
  Script recordOnce() { return Script().ok().wait(100).click(ids::kRecord).ok(); }
};

TEST(SettingsRecord, FileMatchesTheFixtureByteForByte) {
  Recording rig;
  rig.run<set2>(rig.recordOnce().escape());
  EXPECT_TRUE(rig.ui->problems().empty());
  EXPECT_EQ(rig.boxes().back(), "設定を記録しました。\rファイル: conf_050102030405.csv");
  ASSERT_EQ(filesIn(rig.documents.path()), std::vector<std::string>{"conf_050102030405.csv"});
  const std::string written =
      testing_support::readFile(rig.documents.path() + "/conf_050102030405.csv");
  EXPECT_EQ(written, testing_support::readFile(QTR77_FIXTURES "/conf_050102030405.csv"));
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 35);
  EXPECT_EQ(written.substr(written.size() - 2), "\r\n");
}

TEST(SettingsRecord, CodesAtTheEdgesOfTheirTables) {
  DeviceState state;
  const platform::LocalTime t{2014, 5, 23, 15, 30, 5};
  auto lineOf = [&](std::size_t n) { return settingsRecordLines(state, t).at(n - 1); };
  EXPECT_EQ(lineOf(1), "作成日時, 2014/5/23  15:30:05");
  struct Case {
    std::size_t line;
    std::function<void()> set;
    const char* text;
  };
  const std::vector<Case> cases{
      {11, [&] { state.speedCode = 2; }, "通信速度, 57600bps"},
      {11, [&] { state.speedCode = 3; }, "通信速度, xxxxbps"},
      {12, [&] { state.parityCode = 5; }, "通信パリティ, xxx"},
      {13, [&] { state.delayCode = 6; }, "ディレイ時間, xxxms"},
      {3, [&] { state.specRegs[comm::g_SPC_VOL] = -1; }, "電源電圧, xxxV"},
      {4, [&] { state.specRegs[comm::g_SPC_CUR] = 9; }, "電流容量, 600A"},
      {4, [&] { state.specRegs[comm::g_SPC_CUR] = 10; }, "電流容量, xxxA"},
      {5, [&] { state.specRegs[comm::g_SPC_OUT] = 4; }, "出力制限機能, xxx"},
      {6, [&] { state.specRegs[comm::g_SPC_HB] = 2; }, "ヒータ断線警報機能, xxx"},
      {8, [&] { state.specRegs[comm::g_SPC_AP] = 1; }, "オートパワー調整機能, 4-20mA"},
      {30, [&] { state.controlRegs[comm::COM_FB] = 3; },
       "制御方式通信設定, P3:電圧自乗フィードバック"},
      {30, [&] { state.controlRegs[comm::COM_FB] = 4; }, "制御方式通信設定, フィードバックなし"},
      {30, [&] { state.controlRegs[comm::COM_FB] = 9; }, "制御方式通信設定, フィードバックなし"},
      {30, [&] { state.controlRegs[comm::COM_FB] = -1; }, "制御方式通信設定, フィードバックなし"},
      {35, [&] { state.controlRegs[comm::COM_SCALELO] = -32768; }, "制御入力スケール下限, -32768"},
  };
  for (const Case& c : cases) {
    c.set();
    EXPECT_EQ(lineOf(c.line), c.text);
  }
  EXPECT_EQ(settingsRecordLines(state, t).size(), 35u);
}

TEST(RecordFile, NamesCarryTheTimeStamp) {
  EXPECT_EQ(record::fileName("conf_", 2, {2014, 5, 23, 15, 30, 5}), "conf_140523153005.csv");
  EXPECT_EQ(record::fileName("conf_", 2, {2005, 1, 2, 0, 0, 0}), "conf_050102000000.csv");
  EXPECT_EQ(record::fileName("EEP_", 4, {2021, 3, 9, 8, 5, 7}), "EEP_20210309080507.csv");
}

TEST(SettingsRecord, FailuresLeaveNoFileAndTheDialogUsable) {
  struct Case {
    const char* what;
    std::function<void(Recording&)> breakIt;
  };
  const std::vector<Case> cases{
      {"no documents folder", [](Recording& r) { r.platform.documents.reset(); }},
      {"folder missing", [](Recording& r) { r.platform.documents = r.documents.path() + "/gone"; }},
      {"disk full", [](Recording& r) { r.platform.diskFull = true; }},
  };
  for (const Case& c : cases) {
    Recording rig;
    c.breakIt(rig);
    rig.run<set2>(rig.recordOnce()
                      .inspect([&rig](ui::headless::HeadlessWindow&) {
                        rig.platform.documents = rig.documents.path();
                        rig.platform.diskFull = false;
                      })
                      .click(ids::kRecord)
                      .ok()
                      .escape());
    const auto boxes = rig.boxes();
    ASSERT_EQ(boxes.size(), 3u) << c.what;
    EXPECT_EQ(boxes[1], "ファイルを作成できません") << c.what;
    EXPECT_EQ(boxes[2], "設定を記録しました。\rファイル: conf_050102030405.csv") << c.what;
    EXPECT_EQ(filesIn(rig.documents.path()), std::vector<std::string>{"conf_050102030405.csv"})
        << c.what;
  }
}

}  // namespace
