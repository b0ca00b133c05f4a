// The control parameter editor: its read at start, the editing controls, the change detection
// and the write sequence, against the simulated unit on the virtual line.

#include <gtest/gtest.h>

#include "dialogs/set2.h"
#include "link/OpenPort.h"
#include "resources/ControlTemplate.h"
#include "tests/support/Rig.h"

namespace {

using testing_support::Rig;
using ui::headless::HeadlessWindow;
using ui::headless::Script;
namespace ids = res::control_params;
using Bytes = std::vector<std::uint8_t>;

constexpr int kTR1 = 1065, kTR3 = 1067, kDI1 = 1074, kSTOP = 1080, kHBWAIT = 1082;

// The unit found on COM3 at 9600 bit/s, station 1, port open as the search left it.
struct Editor : Rig {
  Editor() {
    plugUnit(3);
    found(3);
  }
  // Registers of the register frames sent to the unit's station, "r0300" for reads and
  // "w0311" for writes, in order.
  std::vector<std::string> frames() const {
    std::vector<std::string> out;
    for (const Bytes& r : requestsTo(3)) {
      char text[8];
      std::snprintf(text, sizeof text, "%c%02X%02X", r[1] == 0x03 ? 'r' : 'w', r[2], r[3]);
      out.emplace_back(text);
    }
    return out;
  }
  const Bytes* lastWriteOf(std::uint16_t reg) const {
    const Bytes* found = nullptr;
    for (const auto& event : serial.wireLog()) {
      const Bytes& r = event.bytes;
      if (event.direction == comm::VirtualSerialSystem::Direction::toDevice && r[1] == 0x06 &&
          ((r[2] << 8) | r[3]) == reg)
        found = &r;
    }
    return found;
  }
};

const std::vector<std::string> kOpeningReads{"r0300", "r0300", "r030A", "r0044", "r0314", "r004C"};

Script opened() {
  return Script().ok();
}  // "制御パラメータの読出しに成功しました。"

TEST(ControlEditor, OpensWithTheUnitsValues) {
  Editor rig;
  rig.unit.setControlReg(comm::COM_TR1, 500);
  rig.unit.setControlReg(comm::COM_TR2, 1000);
  rig.unit.setControlReg(comm::COM_DI1, 1);
  rig.unit.setControlReg(comm::COM_STOP, 1);
  rig.unit.setControlReg(comm::COM_HBWAIT, 250);
  rig.unit.setSpecReg(comm::g_SPC_COM, 3);
  rig.unit.setControlReg(comm::COM_SCALELO, 55);
  rig.unit.setSpecReg(comm::g_SPC_FB, 2);
  rig.unit.setSpecReg(comm::g_SPC_CUR, 7);

  rig.run<set2>(opened()
                    .inspect([&rig](HeadlessWindow& w) {
                      // Reopened with T + 200 = 400 ms: 100 ms, then six reads and five pauses.
                      EXPECT_EQ(rig.clock.now(), platform::millis(100 + 6 * 400 + 5 * 300));
                      EXPECT_EQ(w.position(kTR1), 500);
                      EXPECT_EQ(w.position(1066), 1000);
                      EXPECT_EQ(w.position(kDI1), 1);
                      EXPECT_EQ(w.position(kSTOP), 1);
                      EXPECT_EQ(w.position(kHBWAIT), 250);
                      EXPECT_EQ(w.position(ids::kScaleSpin), 55);
                      EXPECT_EQ(w.range(kTR1), (std::pair{-1, 1000}));
                      EXPECT_EQ(w.range(kDI1), (std::pair{-1, 1}));
                      EXPECT_EQ(w.range(ids::kScaleSpin), (std::pair{0, 200}));
                      EXPECT_EQ(w.range(ids::kProgress), (std::pair{0, 21}));
                      EXPECT_TRUE(w.isEnabled(ids::kScaleSpin));
                      EXPECT_TRUE(w.isEnabled(ids::kScaleLabel));
                      EXPECT_TRUE(w.isChecked(1085));
                      EXPECT_EQ(w.text(ids::kStatus), "");
                      EXPECT_EQ(w.placement().x, 187);
                      EXPECT_EQ(w.placement().y, 152);
                      EXPECT_TRUE(w.hasTimer(1));
                    })
                    .escape());
  EXPECT_TRUE(rig.ui->problems().empty());
  EXPECT_EQ(rig.boxes(), std::vector<std::string>{"制御パラメータの読出しに成功しました。"});
  EXPECT_EQ(rig.frames(), kOpeningReads);
  EXPECT_EQ(rig.serial.timeouts(3).readTotalTimeoutConstant, 400u);
  EXPECT_EQ(rig.state.specRegs[comm::g_SPC_CUR], 7);
  EXPECT_EQ(rig.state.controlRegs[comm::COM_TR1], 500);
  EXPECT_EQ(rig.state.controlRegs[comm::COM_SCALELO], 55);
}

TEST(ControlEditor, ReadFailuresCloseTheDialog) {
  struct Case {
    const char* what;
    sim::FaultSwitch fault;
    const char* box;
    int result;
  };
  const std::vector<Case> cases{
      {"uncounted first read silent",
       {sim::Fault::silent, 0, 1, 0},
       "制御パラメータの読出しに成功しました。",
       2},
      {"26-byte answers",
       {sim::Fault::longByOne, 0, -1, 0},
       "制御パラメータの読出しに成功しました。",
       2},
      {"answers from another station",
       {sim::Fault::wrongStation, 0, -1, 0},
       "制御パラメータの読出しに成功しました。",
       2},
      {"24-byte answer",
       {sim::Fault::shortByOne, 1, 1, 0},
       "制御パラメータの読出しに失敗しました。",
       2},
      {"exception", {sim::Fault::exception, 3, 1, 0}, "制御パラメータの読出しに失敗しました。", 2},
      {"silence", {sim::Fault::silent, 5, 1, 0}, "制御パラメータの読出しに失敗しました。", 2},
  };
  for (const Case& c : cases) {
    Editor rig;
    rig.unit.fault = c.fault;
    const bool opens = std::string(c.box) == "制御パラメータの読出しに成功しました。";
    Script script = Script().ok();
    if (opens) script.escape();
    EXPECT_EQ(rig.run<set2>(std::move(script)), c.result) << c.what;
    EXPECT_EQ(rig.boxes(), std::vector<std::string>{c.box}) << c.what;
    EXPECT_TRUE(rig.ui->problems().empty()) << c.what;
    EXPECT_EQ(rig.frames(), kOpeningReads) << "all five reads run: " << c.what;
  }
}

TEST(ControlEditor, AFailedReadKeepsWhatTheOthersStored) {
  Editor rig;
  rig.unit.setControlReg(comm::COM_TR1, 11);
  rig.unit.setControlReg(comm::COM_DI2, 1);
  rig.unit.setSpecReg(comm::g_SPC_OUT, 2);
  rig.unit.setSpecReg(comm::g_SPC_COM, 3);
  rig.unit.setControlReg(comm::COM_SCALELO, 77);
  rig.unit.fault = {sim::Fault::silent, 2, 1, 0};  // readControlRegs2
  rig.state.controlRegs.fill(5);
  EXPECT_EQ(rig.run<set2>(Script().ok()), 2);
  EXPECT_EQ(rig.boxes(), std::vector<std::string>{"制御パラメータの読出しに失敗しました。"});
  EXPECT_EQ(rig.state.controlRegs[comm::COM_TR1], 11);
  EXPECT_EQ(rig.state.controlRegs[comm::COM_DI2], 5) << "its read failed";
  EXPECT_EQ(rig.state.controlRegs[comm::COM_SCALELO], 77);
  EXPECT_EQ(rig.state.specRegs[comm::g_SPC_OUT], 2);
}

TEST(ControlEditor, APortThatCannotBeReopenedIsReportedWithItsCode) {
  Editor rig;
  rig.serial.faults(3).failSetState = true;
  EXPECT_EQ(rig.run<set2>(Script().ok()), 2);
  EXPECT_EQ(rig.boxes(), std::vector<std::string>{"failed to open COM result-3"});
  EXPECT_TRUE(rig.frames().empty()) << "no read is tried";
  EXPECT_TRUE(rig.serial.isOpen(3)) << "the half-configured port stays";
}

TEST(ControlEditor, ControlMethodFollowsTheUnitsOwn) {
  for (auto [spec, button] :
       {std::pair{0, 1083}, std::pair{3, 1086}, std::pair{4, 1087}, std::pair{7, 1087}}) {
    Editor rig;
    rig.unit.setSpecReg(comm::g_SPC_FB, static_cast<std::int16_t>(spec));
    rig.run<set2>(
        opened()
            .inspect([button = button](HeadlessWindow& w) { EXPECT_TRUE(w.isChecked(button)); })
            .escape());
  }
}

TEST(ControlEditor, StepButtonsStopAtTheirEnds) {
  struct Case {
    int start, button, expected;
  };
  for (const Case& c :
       {Case{50, 1099, -1}, Case{0, 1099, -1}, Case{-1, 1099, -1}, Case{950, 1098, 1000},
        Case{-1, 1098, 99}, Case{1000, 1098, 1000}, Case{400, 1098, 500}}) {
    Editor rig;
    rig.run<set2>(opened()
                      .spin(kTR1, c.start)
                      .click(c.button)
                      .inspect([c](HeadlessWindow& w) {
                        EXPECT_EQ(w.position(kTR1), c.expected) << c.start << " " << c.button;
                      })
                      .escape());
    EXPECT_EQ(rig.state.controlRegs[comm::COM_TR1], -1) << "steps change only the dialog";
  }
}

TEST(ControlEditor, DefaultsLeaveTheControlMethodAndSetTheScaleLimitEvenWhenDisabled) {
  Editor rig;
  rig.unit.setSpecReg(comm::g_SPC_FB, 1);
  for (std::size_t i = 0; i < comm::kControlRegisterCount; ++i) rig.unit.setControlReg(i, 1);
  rig.run<set2>(opened()
                    .click(1084 + 1)  // the user picks another method first
                    .click(ids::kDefaults)
                    .inspect([](HeadlessWindow& w) {
                      EXPECT_FALSE(w.isEnabled(ids::kScaleSpin));
                      EXPECT_EQ(w.position(ids::kScaleSpin), 30);
                      EXPECT_EQ(w.position(kTR1), -1);
                      EXPECT_EQ(w.position(1079), -1);
                      EXPECT_EQ(w.position(kSTOP), 0);
                      EXPECT_EQ(w.position(1111), 0);
                      EXPECT_TRUE(w.isChecked(1085));
                    })
                    .escape());
  EXPECT_EQ(rig.frames(), kOpeningReads) << "defaults send nothing";
}

TEST(ControlEditor, RecordButtonFollowsWhatTheDialogShows) {
  Editor rig;
  rig.unit.setSpecReg(comm::g_SPC_COM, 3);
  rig.run<set2>(opened()
                    .wait(100)
                    .inspect([](HeadlessWindow& w) { EXPECT_TRUE(w.isEnabled(ids::kRecord)); })
                    .spin(ids::kScaleSpin, 99)
                    .wait(100)
                    .inspect([](HeadlessWindow& w) { EXPECT_TRUE(w.isEnabled(ids::kRecord)); })
                    .spin(kTR3, 12)
                    .wait(100)
                    .inspect([](HeadlessWindow& w) { EXPECT_FALSE(w.isEnabled(ids::kRecord)); })
                    .spin(kTR3, -1)
                    .wait(100)
                    .inspect([](HeadlessWindow& w) { EXPECT_TRUE(w.isEnabled(ids::kRecord)); })
                    .click(1086)
                    .wait(100)
                    .inspect([](HeadlessWindow& w) { EXPECT_FALSE(w.isEnabled(ids::kRecord)); })
                    .click(1083)
                    .wait(100)
                    .inspect([](HeadlessWindow& w) { EXPECT_TRUE(w.isEnabled(ids::kRecord)); })
                    .escape());
  EXPECT_TRUE(rig.ui->problems().empty());
}

TEST(ControlEditor, AUnitMethodOtherThanTheSettingKeepsRecordOff) {
  Editor rig;
  rig.unit.setSpecReg(comm::g_SPC_FB, 2);
  rig.run<set2>(opened()
                    .inspect([&rig](HeadlessWindow&) { rig.state.controlRegs[comm::COM_FB] = 0; })
                    .wait(100)
                    .inspect([](HeadlessWindow& w) { EXPECT_FALSE(w.isEnabled(ids::kRecord)); })
                    .escape());
}

TEST(WriteSequence, WireOrderAndDurationWithAndWithoutTheScaleOption) {
  for (bool scale : {false, true}) {
    Editor rig;
    rig.unit.setSpecReg(comm::g_SPC_COM, scale ? 3 : 0);
    platform::Micros before = 0;
    Script script =
        opened().spin(kTR1, 500).inspect([&](HeadlessWindow&) { before = rig.clock.now(); });
    script.click(ids::kWrite).ok().ok().ok().wait(100).inspect([](HeadlessWindow& w) {
      EXPECT_TRUE(w.isEnabled(ids::kRecord));
      EXPECT_EQ(w.text(ids::kStatus), "");
      EXPECT_EQ(w.progress(ids::kProgress), 0);
    });
    rig.run<set2>(std::move(script).escape());
    EXPECT_TRUE(rig.ui->problems().empty());

    std::vector<std::string> expected = kOpeningReads;
    for (const char* f : {"r0044", "r0044", "w0311", "w0300", "w0301", "w0302", "w0303",
                          "w0304", "w0305", "w0306", "w0307", "w0308", "w0309", "w030A",
                          "w030B", "w030C", "w030D", "w030E", "w0312", "w0313", "w0310"})
      expected.emplace_back(f);
    if (scale) expected.emplace_back("w0314");
    expected.emplace_back("w030F");
    EXPECT_EQ(rig.frames(), expected) << "scale " << scale;

    // Two g_SPC reads each followed by 300 ms, then the writes back to back.
    const int writes = scale ? 21 : 20;
    const auto boxes = rig.boxes();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[1], "書込みを実行しますか？");
    EXPECT_EQ(boxes[2], "制御方式を変更した場合、\r書込み終了時にQTR77はリセットします。");
    EXPECT_EQ(boxes[3], "書込みに成功しました..");
    EXPECT_EQ(rig.clock.now() - before, platform::millis(2 * (400 + 300) + writes * 400 + 100));
    EXPECT_TRUE(rig.saw("status: 書込み中... 19/21"));
    EXPECT_TRUE(rig.saw("status: 書込み中... 21/21"));
    EXPECT_EQ(rig.state.controlRegs[comm::COM_TR1], 500);
    EXPECT_EQ(rig.state.writeDoneFlag, 0) << "consumed by the tick";
    EXPECT_EQ(rig.unit.controlReg(comm::COM_TR1), 500);
    // -1 goes out as FF FF.
    ASSERT_NE(rig.lastWriteOf(0x0301), nullptr);
    EXPECT_EQ((*rig.lastWriteOf(0x0301))[4], 0xFF);
    EXPECT_EQ((*rig.lastWriteOf(0x0301))[5], 0xFF);
  }
}

TEST(WriteSequence, CancelAtTheConfirmationSendsNothing) {
  Editor rig;
  rig.run<set2>(opened()
                    .spin(kTR1, 300)
                    .click(ids::kWrite)
                    .cancel()
                    .inspect([](HeadlessWindow& w) { EXPECT_TRUE(w.hasTimer(1)); })
                    .escape());
  EXPECT_EQ(rig.frames(), kOpeningReads);
  EXPECT_EQ(rig.state.controlRegs[comm::COM_TR1], -1);
}

TEST(WriteSequence, AFailureAtStepSevenStopsThereAndKeepsOnlyWhatTheUnitTook) {
  Editor rig;
  rig.run<set2>(opened()
                    .spin(kTR1, 1)
                    .spin(1071, 7)  // COM_CTRL, 0x0306: the step that fails
                    .spin(1072, 8)  // COM_VR1, never sent
                    .spin(1081, 1)  // COM_MEM, written first
                    .inspect([&rig](HeadlessWindow&) {
                      // The two g_SPC reads and seven writes are answered, then silence.
                      rig.unit.fault = {sim::Fault::silent, 2 + 7, 1, 0};
                    })
                    .click(ids::kWrite)
                    .ok()
                    .ok()
                    .ok()
                    .wait(100)
                    .inspect([](HeadlessWindow& w) {
                      EXPECT_FALSE(w.isEnabled(ids::kRecord)) << "the dialog shows unsent values";
                      EXPECT_TRUE(w.isEnabled(ids::kWrite));
                      EXPECT_EQ(w.text(ids::kStatus), "");
                      EXPECT_EQ(w.progress(ids::kProgress), 0);
                    })
                    .escape());
  EXPECT_TRUE(rig.ui->problems().empty());
  std::vector<std::string> expected = kOpeningReads;
  for (const char* f :
       {"r0044", "r0044", "w0311", "w0300", "w0301", "w0302", "w0303", "w0304", "w0305", "w0306"})
    expected.emplace_back(f);
  EXPECT_EQ(rig.frames(), expected);
  const auto& t = rig.transcript();
  const auto failed = std::find(t.begin(), t.end(), "box: 書込みに失敗しました..");
  ASSERT_NE(failed, t.end());
  EXPECT_EQ(*(failed - 1), "status: 書込み中... 7/21");
  EXPECT_EQ(*(failed + 2), "status: ");
  // What the unit acknowledged is kept; the failed and the unsent registers keep their values.
  EXPECT_EQ(rig.state.controlRegs[comm::COM_MEM], 1);
  EXPECT_EQ(rig.state.controlRegs[comm::COM_TR1], 1);
  EXPECT_EQ(rig.state.controlRegs[comm::COM_CTRL], -1);
  EXPECT_EQ(rig.state.controlRegs[comm::COM_VR1], -1);
  EXPECT_EQ(rig.state.writeDoneFlag, 0);
  EXPECT_EQ(rig.unit.controlReg(comm::COM_TR1), 1);
  EXPECT_EQ(rig.unit.controlReg(comm::COM_VR1), -1);
}

TEST(WriteSequence, AFailedFirstWriteShowsNoStep) {
  Editor rig;
  rig.run<set2>(opened()
                    .inspect([&rig](HeadlessWindow&) {
                      rig.unit.fault = {sim::Fault::exception, 2, 1, 0};
                    })
                    .click(ids::kWrite)
                    .ok()
                    .ok()
                    .ok()
                    .escape());
  std::vector<std::string> expected = kOpeningReads;
  for (const char* f : {"r0044", "r0044", "w0311"}) expected.emplace_back(f);
  EXPECT_EQ(rig.frames(), expected);
  EXPECT_FALSE(rig.saw("status: 書込み中... 1/21"));
  EXPECT_EQ(rig.boxes().back(), "書込みに失敗しました..");
}

TEST(WriteSequence, AcceptsAnyEightByteAnswerWithoutTheExceptionBit) {
  Editor rig;
  rig.run<set2>(opened()
                    .inspect([&rig](HeadlessWindow&) {
                      rig.unit.fault = {sim::Fault::badCheck, 0, -1, 0};
                      rig.unit.setStation(1);
                    })
                    .click(ids::kWrite)
                    .ok()
                    .ok()
                    .ok()
                    .escape());
  EXPECT_EQ(rig.boxes().back(), "書込みに成功しました..");
}

TEST(WriteSequence, AChangedControlMethodIsWrittenLastAndResetsTheUnit) {
  Editor rig;
  rig.run<set2>(opened().click(1084).click(ids::kWrite).ok().ok().ok().escape());
  EXPECT_EQ(rig.frames().back(), "w030F");
  EXPECT_EQ(rig.boxes().back(), "書込みに成功しました..");
  EXPECT_EQ(rig.unit.resets, 1);
  EXPECT_EQ(rig.state.controlRegs[comm::COM_FB], 1);
}

TEST(WriteSequence, WithNoPortOpenTheSequenceFails) {
  Editor rig;
  rig.run<set2>(opened()
                    .inspect([&rig](HeadlessWindow&) { rig.state.portHandle.reset(); })
                    .click(ids::kWrite)
                    .ok()
                    .ok()
                    .ok()  // "Port yet to open" from the handler's g_SPC read
                    .ok()  // and from the sequence's
                    .ok()
                    .escape());
  const auto boxes = rig.boxes();
  ASSERT_EQ(boxes.size(), 6u);
  EXPECT_EQ(boxes[3], "Port yet to open");
  EXPECT_EQ(boxes[4], "Port yet to open");
  EXPECT_EQ(boxes[5], "書込みに失敗しました..");
}

}  // namespace
