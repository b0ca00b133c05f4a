#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "ui/Dialog.h"

namespace ui::headless {

class HeadlessWindow;

// What the user does, in order. Message boxes take the next step as their answer, and nested
// dialogs take their steps from the same script.
class Script {
 public:
  struct Step {
    enum class Kind { click, spin, type, enter, escape, wait, answerOk, answerCancel, inspect };
    Kind kind;
    int id = 0;
    int value = 0;
    std::string text{};
    std::function<void(HeadlessWindow&)> inspect{};
  };

  Script& click(int id) { return add({Step::Kind::click, id}); }
  // Sets an up-down control's position as the arrows would, within its range.
  Script& spin(int id, int position) { return add({Step::Kind::spin, id, position}); }
  Script& type(int id, std::string text) { return add({Step::Kind::type, id, 0, std::move(text)}); }
  Script& enter() { return add({Step::Kind::enter}); }
  // Esc and the close box both end a dialog as Cancel.
  Script& escape() { return add({Step::Kind::escape}); }
  Script& wait(int ms) { return add({Step::Kind::wait, 0, ms}); }
  Script& ok() { return add({Step::Kind::answerOk}); }
  Script& cancel() { return add({Step::Kind::answerCancel}); }
  // Runs a check against the innermost open window at this point of the script.
  Script& inspect(std::function<void(HeadlessWindow&)> check) {
    Step step{Step::Kind::inspect};
    step.inspect = std::move(check);
    return add(std::move(step));
  }

 private:
  friend class HeadlessBackend;
  Script& add(Step step) {
    steps_.push_back(std::move(step));
    return *this;
  }
  std::deque<Step> steps_;
};

// Plays dialogs without a screen: the templates become in-memory controls with the native
// behaviour the program relies on, a script plays the user, time is the virtual clock, and a
// transcript records what the user would have seen, in order:
//   "open 103", "end 103: 2", "title: ...", "move: x,y wxh", "status: ..." (control 1033),
//   "enable 1058" / "disable 1058" (changes only), "box: ...", and the user's steps as "> ...".
class HeadlessBackend final : public Backend {
 public:
  HeadlessBackend(platform::VirtualClock& clock, Script script);
  ~HeadlessBackend() override;

  int runModal(Dialog& dialog, const res::Dialog& resource) override;

  const std::vector<std::string>& transcript() const { return transcript_; }
  // Steps that could not be played: a click on a disabled control, a message box that the
  // script did not answer, a script that ended while a dialog was open. Tests expect none.
  const std::vector<std::string>& problems() const { return problems_; }
  bool scriptDone() const { return script_.steps_.empty(); }

 private:
  friend class HeadlessWindow;
  void record(std::string line) { transcript_.push_back(std::move(line)); }
  void problem(std::string what);
  int answerBox(std::string_view text, Buttons buttons);
  void play(HeadlessWindow& window, const Script::Step& step);
  void wait(int ms);

  platform::VirtualClock& clock_;
  Script script_;
  std::vector<std::string> transcript_;
  std::vector<std::string> problems_;
  std::vector<HeadlessWindow*> open_;  // innermost last
};

// A dialog window held in memory.
class HeadlessWindow final : public Window {
 public:
  HeadlessWindow(HeadlessBackend& backend, Dialog& dialog, const res::Dialog& resource);

  std::string text(int id) const override;
  void setText(int id, std::string_view text) override;
  bool isEnabled(int id) const override;
  void enable(int id, bool enabled) override;
  bool isChecked(int id) const override;
  void setCheck(int id, bool checked) override;
  void setRange(int id, int lower, int upper) override;
  int position(int id) const override;
  void setPosition(int id, int position) override;
  int addLine(int id, std::string_view text) override;
  int lineCount(int id) const override;
  std::string lineText(int id, int index) const override;
  void deleteLine(int id, int index) override;
  void setProgressRange(int id, int lower, int upper) override;
  void setProgress(int id, int position) override;
  int messageBox(std::string_view text, Buttons buttons) override;
  void setTimer(int id, int periodMs) override;
  void killTimer(int id) override;
  void moveWindow(int x, int y, int width, int height) override;
  void setTitle(std::string_view title) override;
  void end(int result) override;

  // For inspection in tests.
  const res::Dialog& resource() const { return resource_; }
  const std::string& title() const { return title_; }
  Placement placement() const { return placement_; }
  std::pair<int, int> range(int id) const;
  int progress(int id) const;
  bool hasTimer(int id) const { return timers_.count(id) != 0; }

  // The user's actions.
  void userClick(int id);
  void userSpin(int id, int position);
  void userType(int id, std::string_view text);
  void userEnter();
  void userEscape();

 private:
  friend class HeadlessBackend;
  struct ControlState {
    const res::Control* resource;
    std::string text;
    bool enabled;
    bool checked = false;
    int lower = 100;  // an up-down control's range before anybody sets it
    int upper = 0;
    int position = 0;
    int buddy = -1;  // index of an up-down control's buddy
    std::vector<std::string> lines{};
  };
  struct Timer {
    int periodMs;
    platform::Micros due;
  };

  ControlState& control(int id);
  const ControlState& control(int id) const;
  std::size_t indexOf(int id) const;
  void storePosition(ControlState& c, int position);
  void fireDueTimers(platform::Micros until);

  HeadlessBackend& backend_;
  Dialog& dialog_;
  const res::Dialog& resource_;
  std::vector<ControlState> controls_;
  std::map<int, Timer> timers_;
  std::string title_;
  Placement placement_{0, 0, 0, 0};
  bool ended_ = false;
  int result_ = 0;
};

// Text of an up-down control's buddy: thousands separators unless the control says otherwise.
std::string formatPosition(int position, bool thousands);

}  // namespace ui::headless
