#include "ui/headless/HeadlessBackend.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace ui::headless {

namespace {

using res::ControlClass;
namespace style = res::style;

constexpr int kStatusLine = 1033;

bool isAutoRadio(const res::Control& c) {
  return c.kind == ControlClass::button &&
         (c.style & style::bsTypeMask) == style::bsAutoRadioButton;
}

bool isDefaultButton(const res::Control& c) {
  return c.kind == ControlClass::button && (c.style & style::bsTypeMask) == style::bsDefPushButton;
}

bool isPushButton(const res::Control& c) {
  const std::uint32_t type = c.style & style::bsTypeMask;
  return c.kind == ControlClass::button &&
         (type == style::bsPushButton || type == style::bsDefPushButton);
}

// What GetDlgItemInt-style parsing of the buddy gives back: digits with optional separators.
int parsePosition(const std::string& text) {
  std::string digits;
  for (char ch : text)
    if (ch != ',') digits += ch;
  return std::atoi(digits.c_str());
}

}  // namespace

std::string formatPosition(int position, bool thousands) {
  std::string digits = std::to_string(position < 0 ? -static_cast<long long>(position) : position);
  if (thousands) {
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
      digits.insert(static_cast<std::size_t>(at), ",");
  }
  if (position < 0) digits.insert(digits.begin(), '-');
  return digits;
}

// ---------------------------------------------------------------------------------------------
// HeadlessBackend

HeadlessBackend::HeadlessBackend(platform::VirtualClock& clock, Script script)
    : clock_(clock), script_(std::move(script)) {}

HeadlessBackend::~HeadlessBackend() = default;

void HeadlessBackend::problem(std::string what) {
  record("problem: " + what);
  problems_.push_back(std::move(what));
}

int HeadlessBackend::runModal(Dialog& dialog, const res::Dialog& resource) {
  HeadlessWindow window(*this, dialog, resource);
  open_.push_back(&window);
  record("open " + std::to_string(resource.resourceId));
  dialog.handleInitDialog(window);
  while (!window.ended_) {
    if (script_.steps_.empty()) {
      problem("the script ended while dialog " + std::to_string(resource.resourceId) + " was open");
      window.end(res::kIdCancel);
      break;
    }
    Script::Step step = std::move(script_.steps_.front());
    script_.steps_.pop_front();
    play(window, step);
  }
  dialog.handleEnd();
  open_.pop_back();
  record("end " + std::to_string(resource.resourceId) + ": " + std::to_string(window.result_));
  return window.result_;
}

void HeadlessBackend::play(HeadlessWindow& window, const Script::Step& step) {
  using Kind = Script::Step::Kind;
  switch (step.kind) {
    case Kind::click:
      record("> click " + std::to_string(step.id));
      window.userClick(step.id);
      break;
    case Kind::spin:
      record("> spin " + std::to_string(step.id) + " to " + std::to_string(step.value));
      window.userSpin(step.id, step.value);
      break;
    case Kind::type:
      record("> type " + std::to_string(step.id) + ": " + step.text);
      window.userType(step.id, step.text);
      break;
    case Kind::enter:
      record("> enter");
      window.userEnter();
      break;
    case Kind::escape:
      record("> escape");
      window.userEscape();
      break;
    case Kind::wait:
      record("> wait " + std::to_string(step.value));
      wait(step.value);
      break;
    case Kind::answerOk:
    case Kind::answerCancel:
      problem("an answer to a message box came while no message box was shown");
      break;
    case Kind::inspect:
      step.inspect(window);
      break;
  }
}

void HeadlessBackend::wait(int ms) {
  const platform::Micros until = clock_.now() + platform::millis(ms);
  // Timers of every open window tick while the user waits; a handler may end its window.
  for (;;) {
    HeadlessWindow* next = nullptr;
    platform::Micros due = until;
    for (HeadlessWindow* w : open_) {
      for (const auto& [id, timer] : w->timers_) {
        if (!w->ended_ && timer.due <= due) {
          due = timer.due;
          next = w;
        }
      }
    }
    if (next == nullptr) break;
    next->fireDueTimers(due);
  }
  clock_.advanceTo(until);
}

int HeadlessBackend::answerBox(std::string_view text, Buttons buttons) {
  record("box: " + std::string(text));
  using Kind = Script::Step::Kind;
  if (script_.steps_.empty() || (script_.steps_.front().kind != Kind::answerOk &&
                                 script_.steps_.front().kind != Kind::answerCancel)) {
    problem("message box not answered by the script: " + std::string(text));
    return res::kIdOk;
  }
  const Kind answer = script_.steps_.front().kind;
  script_.steps_.pop_front();
  if (answer == Kind::answerCancel && buttons == Buttons::ok) {
    problem("Cancel pressed on a message box that has only OK: " + std::string(text));
    return res::kIdOk;
  }
  record(answer == Kind::answerOk ? "> ok" : "> cancel");
  return answer == Kind::answerOk ? res::kIdOk : res::kIdCancel;
}

// ---------------------------------------------------------------------------------------------
// HeadlessWindow

HeadlessWindow::HeadlessWindow(HeadlessBackend& backend, Dialog& dialog,
                               const res::Dialog& resource)
    : backend_(backend), dialog_(dialog), resource_(resource), title_(resource.caption) {
  for (const res::Control& c : resource.controls) {
    ControlState state{&c, std::string(c.text), (c.style & style::disabled) == 0};
    if (c.kind == ControlClass::upDown && (c.style & style::udsAutoBuddy) && !controls_.empty())
      state.buddy = static_cast<int>(controls_.size()) - 1;
    controls_.push_back(std::move(state));
  }
}

std::size_t HeadlessWindow::indexOf(int id) const {
  for (std::size_t i = 0; i < controls_.size(); ++i)
    if (controls_[i].resource->id == id) return i;
  throw std::out_of_range("dialog " + std::to_string(resource_.resourceId) + " has no control " +
                          std::to_string(id));
}

HeadlessWindow::ControlState& HeadlessWindow::control(int id) {
  return controls_[indexOf(id)];
}
const HeadlessWindow::ControlState& HeadlessWindow::control(int id) const {
  return controls_[indexOf(id)];
}

std::string HeadlessWindow::text(int id) const {
  return control(id).text;
}

void HeadlessWindow::setText(int id, std::string_view text) {
  control(id).text = text;
  if (id == kStatusLine) backend_.record("status: " + std::string(text));
}

bool HeadlessWindow::isEnabled(int id) const {
  return control(id).enabled;
}

void HeadlessWindow::enable(int id, bool enabled) {
  ControlState& c = control(id);
  if (c.enabled == enabled) return;
  c.enabled = enabled;
  if (isPushButton(*c.resource))
    backend_.record((enabled ? "enable " : "disable ") + std::to_string(id));
}

bool HeadlessWindow::isChecked(int id) const {
  return control(id).checked;
}
void HeadlessWindow::setCheck(int id, bool checked) {
  control(id).checked = checked;
}

void HeadlessWindow::setRange(int id, int lower, int upper) {
  ControlState& c = control(id);
  c.lower = lower;
  c.upper = upper;
}

int HeadlessWindow::position(int id) const {
  const ControlState& c = control(id);
  // With a buddy that shows the position, the control reads the number back from it.
  if (c.buddy >= 0 && (c.resource->style & style::udsSetBuddyInt))
    return parsePosition(controls_[static_cast<std::size_t>(c.buddy)].text);
  return c.position;
}

void HeadlessWindow::storePosition(ControlState& c, int position) {
  const int low = std::min(c.lower, c.upper);
  const int high = std::max(c.lower, c.upper);
  c.position = std::clamp(position, low, high);
  if (c.buddy >= 0 && (c.resource->style & style::udsSetBuddyInt)) {
    const bool thousands = (c.resource->style & style::udsNoThousands) == 0;
    controls_[static_cast<std::size_t>(c.buddy)].text = formatPosition(c.position, thousands);
  }
}

void HeadlessWindow::setPosition(int id, int position) {
  storePosition(control(id), position);
}

std::pair<int, int> HeadlessWindow::range(int id) const {
  return {control(id).lower, control(id).upper};
}

int HeadlessWindow::addLine(int id, std::string_view text) {
  auto& lines = control(id).lines;
  lines.emplace_back(text);
  return static_cast<int>(lines.size()) - 1;
}

int HeadlessWindow::lineCount(int id) const {
  return static_cast<int>(control(id).lines.size());
}

std::string HeadlessWindow::lineText(int id, int index) const {
  return control(id).lines.at(static_cast<std::size_t>(index));
}

void HeadlessWindow::deleteLine(int id, int index) {
  auto& lines = control(id).lines;
  if (index >= 0 && static_cast<std::size_t>(index) < lines.size())
    lines.erase(lines.begin() + index);
}

void HeadlessWindow::setProgressRange(int id, int lower, int upper) {
  setRange(id, lower, upper);
}

void HeadlessWindow::setProgress(int id, int position) {
  ControlState& c = control(id);
  c.position = std::clamp(position, std::min(c.lower, c.upper), std::max(c.lower, c.upper));
}

int HeadlessWindow::progress(int id) const {
  return control(id).position;
}

int HeadlessWindow::messageBox(std::string_view text, Buttons buttons) {
  return backend_.answerBox(text, buttons);
}

void HeadlessWindow::setTimer(int id, int periodMs) {
  timers_[id] = {periodMs, backend_.clock_.now() + platform::millis(periodMs)};
}

void HeadlessWindow::killTimer(int id) {
  timers_.erase(id);
}

void HeadlessWindow::fireDueTimers(platform::Micros until) {
  for (auto& [id, timer] : timers_) {
    if (timer.due > until) continue;
    backend_.clock_.advanceTo(timer.due);
    // A timer that fell behind while the thread was busy ticks once, not once per period.
    timer.due = backend_.clock_.now() + platform::millis(timer.periodMs);
    const int timerId = id;
    dialog_.handleTimer(timerId);
    return;  // the handler may have changed the timers
  }
}

void HeadlessWindow::moveWindow(int x, int y, int width, int height) {
  placement_ = {x, y, width, height};
  backend_.record("move: " + std::to_string(x) + "," + std::to_string(y) + " " +
                  std::to_string(width) + "x" + std::to_string(height));
}

void HeadlessWindow::setTitle(std::string_view title) {
  title_ = title;
  backend_.record("title: " + title_);
}

void HeadlessWindow::end(int result) {
  ended_ = true;
  result_ = result;
  timers_.clear();
}

void HeadlessWindow::userClick(int id) {
  ControlState& c = control(id);
  if (!c.enabled) {
    backend_.problem("click on disabled control " + std::to_string(id));
    return;
  }
  if (isAutoRadio(*c.resource)) {
    // An automatic radio button clicked by the user clears the others of its group.
    std::size_t first = indexOf(id);
    while (first > 0 && (controls_[first].resource->style & style::group) == 0) --first;
    for (std::size_t i = first; i < controls_.size(); ++i) {
      if (i != first && (controls_[i].resource->style & style::group)) break;
      if (isAutoRadio(*controls_[i].resource)) controls_[i].checked = false;
    }
    c.checked = true;
  }
  dialog_.handleCommand(id);
}

void HeadlessWindow::userSpin(int id, int position) {
  ControlState& c = control(id);
  if (!c.enabled) {
    backend_.problem("spin on disabled control " + std::to_string(id));
    return;
  }
  storePosition(c, position);
}

void HeadlessWindow::userType(int id, std::string_view text) {
  ControlState& c = control(id);
  if (!c.enabled) {
    backend_.problem("typing into disabled control " + std::to_string(id));
    return;
  }
  c.text = text;
}

void HeadlessWindow::userEnter() {
  for (const ControlState& c : controls_) {
    if (isDefaultButton(*c.resource)) {
      if (c.enabled) dialog_.handleCommand(c.resource->id);
      return;
    }
  }
  dialog_.handleCommand(res::kIdOk);
}

void HeadlessWindow::userEscape() {
  dialog_.handleCommand(res::kIdCancel);
}

}  // namespace ui::headless
