// The headless backend itself: the native control behaviour the dialogs rely on.

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "ui/headless/HeadlessBackend.h"

namespace {

using ui::headless::HeadlessBackend;
using ui::headless::HeadlessWindow;
using ui::headless::Script;
namespace style = res::style;
using K = res::ControlClass;

constexpr int kRadioA = 10, kRadioB = 11, kRadioC = 12, kOtherGroup = 13;
constexpr int kValue = 20, kSpin = 21, kPlainValue = 22, kPlainSpin = 23;
constexpr int kDefault = 30, kNested = 31, kDisabled = 32, kEdit = 40;

constexpr std::uint32_t kUpDown = style::udsArrowKeys | style::udsAutoBuddy | style::udsSetBuddyInt;

constexpr std::array kControls{
    res::Control{kRadioA, K::button, "A", 0, 0, 10, 10, style::bsAutoRadioButton | style::group},
    res::Control{kRadioB, K::button, "B", 0, 0, 10, 10, style::bsAutoRadioButton},
    res::Control{kRadioC, K::button, "C", 0, 0, 10, 10, style::bsAutoRadioButton},
    res::Control{kOtherGroup, K::button, "D", 0, 0, 10, 10,
                 style::bsAutoRadioButton | style::group},
    res::Control{kValue, K::staticText, "value", 0, 0, 10, 10, style::ssCenter},
    res::Control{kSpin, K::upDown, "", 0, 0, 10, 10, kUpDown},
    res::Control{kPlainValue, K::staticText, "value", 0, 0, 10, 10, style::ssCenter},
    res::Control{kPlainSpin, K::upDown, "", 0, 0, 10, 10, kUpDown | style::udsNoThousands},
    res::Control{kDefault, K::button, "go", 0, 0, 10, 10, style::bsDefPushButton},
    res::Control{kNested, K::button, "nested", 0, 0, 10, 10, style::bsPushButton},
    res::Control{kDisabled, K::button, "off", 0, 0, 10, 10, style::bsPushButton | style::disabled},
    res::Control{kEdit, K::edit, "", 0, 0, 10, 10, style::esAutoHScroll},
    res::Control{1033, K::staticText, "", 0, 0, 10, 10, style::ssSunken},
};
constexpr res::Dialog kTemplate{900, "test", res::kDialogFont,  9,
                                100, 100,    res::kDialogStyle, kControls};

class TestDialog final : public ui::Dialog {
 public:
  TestDialog(ui::Backend& backend, std::vector<std::string>& log)
      : ui::Dialog(backend, kTemplate), log_(log) {}

 protected:
  bool onInitDialog() override {
    window().setRange(kSpin, -1, 1000);
    window().setRange(kPlainSpin, 0, 5000);
    window().setTimer(1, 100);
    return true;
  }
  void onCommand(int id) override {
    log_.push_back("command " + std::to_string(id));
    if (id == kNested) {
      TestDialog inner(backend(), log_);
      log_.push_back("nested ended " + std::to_string(inner.doModal()));
    } else if (id == kDefault) {
      setText(1033, messageBox("sure?", ui::Buttons::okCancel) == res::kIdOk ? "yes" : "no");
    }
    ui::Dialog::onCommand(id);
  }
  void onTimer(int id) override {
    log_.push_back("tick " + std::to_string(id));
    if (busy) {
      // Work that blocks the thread: ticks that fall due meanwhile are not queued up.
      busy = false;
      clock->sleepMs(1000);
    }
  }

 public:
  bool busy = false;
  platform::VirtualClock* clock = nullptr;

 private:
  std::vector<std::string>& log_;
};

struct Played {
  platform::VirtualClock clock;
  std::vector<std::string> log;
  std::unique_ptr<HeadlessBackend> backend;
  int result = 0;

  explicit Played(Script script, bool busy = false) {
    backend = std::make_unique<HeadlessBackend>(clock, std::move(script));
    TestDialog dialog(*backend, log);
    dialog.busy = busy;
    dialog.clock = &clock;
    result = dialog.doModal();
  }
};

TEST(Headless, UserClickOnARadioButtonClearsItsGroupOnly) {
  Played run(Script()
                 .inspect([](HeadlessWindow& w) {
                   // A programmatic check leaves the others alone.
                   w.setCheck(kRadioA, true);
                   w.setCheck(kRadioB, true);
                   w.setCheck(kOtherGroup, true);
                   EXPECT_TRUE(w.isChecked(kRadioA));
                 })
                 .click(kRadioC)
                 .inspect([](HeadlessWindow& w) {
                   EXPECT_FALSE(w.isChecked(kRadioA));
                   EXPECT_FALSE(w.isChecked(kRadioB));
                   EXPECT_TRUE(w.isChecked(kRadioC));
                   EXPECT_TRUE(w.isChecked(kOtherGroup)) << "another group";
                 })
                 .escape());
  EXPECT_EQ(run.log, (std::vector<std::string>{"command 12", "command 2"}));
  EXPECT_EQ(run.result, 2);
}

TEST(Headless, UpDownClampsAndItsBuddyShowsThePosition) {
  Played run(Script()
                 .inspect([](HeadlessWindow& w) {
                   w.setPosition(kSpin, 1000);
                   EXPECT_EQ(w.text(kValue), "1,000");
                   EXPECT_EQ(w.position(kSpin), 1000);
                   w.setPosition(kSpin, 5000);
                   EXPECT_EQ(w.position(kSpin), 1000);
                   w.setPosition(kSpin, -7);
                   EXPECT_EQ(w.text(kValue), "-1");
                   EXPECT_EQ(w.position(kSpin), -1);
                   w.setPosition(kPlainSpin, 4321);
                   EXPECT_EQ(w.text(kPlainValue), "4321");
                   EXPECT_EQ(w.range(kSpin), (std::pair{-1, 1000}));
                 })
                 .spin(kSpin, 2000)
                 .inspect([](HeadlessWindow& w) { EXPECT_EQ(w.text(kValue), "1,000"); })
                 .escape());
  EXPECT_TRUE(run.backend->problems().empty());
  EXPECT_EQ(ui::headless::formatPosition(-1234567, true), "-1,234,567");
  EXPECT_EQ(ui::headless::formatPosition(999, true), "999");
}

TEST(Headless, EnterPressesTheDefaultButtonAndMessageBoxesTakeTheNextStep) {
  Played run(Script().enter().cancel().enter().ok().escape());
  EXPECT_EQ(run.log, (std::vector<std::string>{"command 30", "command 30", "command 2"}));
  const auto& t = run.backend->transcript();
  EXPECT_EQ(std::count(t.begin(), t.end(), "box: sure?"), 2);
  EXPECT_NE(std::find(t.begin(), t.end(), "status: no"), t.end());
  EXPECT_NE(std::find(t.begin(), t.end(), "status: yes"), t.end());
}

TEST(Headless, ScriptProblemsAreReported) {
  // A click on a disabled control does nothing; a box nobody answers, and a script that ends
  // with the dialog open, are problems too.
  Played run(Script().click(kDisabled).click(kDefault));
  EXPECT_EQ(run.log, (std::vector<std::string>{"command 30"}));
  ASSERT_EQ(run.backend->problems().size(), 3u);
  EXPECT_EQ(run.backend->problems()[0], "click on disabled control 32");
  EXPECT_EQ(run.backend->problems()[1], "message box not answered by the script: sure?");
  EXPECT_EQ(run.result, 2);
}

TEST(Headless, TimersTickWhileTheUserWaits) {
  Played run(Script().wait(350).escape());
  EXPECT_EQ(run.log, (std::vector<std::string>{"tick 1", "tick 1", "tick 1", "command 2"}));
  EXPECT_EQ(run.clock.now(), platform::millis(350));
}

TEST(Headless, ABlockedThreadGetsOneTickNotABacklog) {
  Played run(Script().wait(1250).escape(), /*busy=*/true);
  // Tick at 100 ms blocks until 1100; one tick then, the next at 1200.
  EXPECT_EQ(run.log, (std::vector<std::string>{"tick 1", "tick 1", "tick 1", "command 2"}));
}

TEST(Headless, NestedDialogsPlayTheSameScript) {
  Played run(Script()
                 .click(kNested)
                 .type(kEdit, "abc")
                 .inspect([](HeadlessWindow& w) { EXPECT_EQ(w.text(kEdit), "abc"); })
                 .escape()
                 .escape());
  EXPECT_EQ(run.log,
            (std::vector<std::string>{"command 31", "command 2", "nested ended 2", "command 2"}));
  const auto& t = run.backend->transcript();
  EXPECT_EQ(std::count(t.begin(), t.end(), "open 900"), 2);
}

}  // namespace
