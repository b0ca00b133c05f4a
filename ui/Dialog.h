#pragma once

#include <string>
#include <string_view>

#include "resources/Template.h"
#include "ui/Window.h"

namespace ui {

// Base class of the program's dialogs: the behaviour lives in the derived class, the window in
// the backend. Handlers run on the one user-interface thread; control access is by control id.
class Dialog {
 public:
  Dialog(Backend& backend, const res::Dialog& resource) : backend_(backend), resource_(resource) {}
  virtual ~Dialog() = default;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Shows the dialog and returns when it ends, with the result given to endDialog.
  int doModal();
  const res::Dialog& resource() const { return resource_; }

  // Entry points for the backends.
  bool handleInitDialog(Window& window);
  void handleCommand(int id) { onCommand(id); }
  void handleTimer(int id) { onTimer(id); }
  void handleEnd() { window_ = nullptr; }

 protected:
  // Called before the window is first shown; return true to let the platform set the focus.
  virtual bool onInitDialog() { return true; }
  // A button click, the Enter key (default button) or Esc and the close box (kIdCancel).
  // The default ends the dialog on OK and Cancel, as the platform's dialog does.
  virtual void onCommand(int id);
  virtual void onTimer(int /*id*/) {}

  void endDialog(int result) { window().end(result); }
  Window& window() const { return *window_; }
  Backend& backend() const { return backend_; }

  // Shorthands for the calls dialogs make most.
  std::string text(int id) const { return window().text(id); }
  void setText(int id, std::string_view text) { window().setText(id, text); }
  void enable(int id, bool enabled) { window().enable(id, enabled); }
  bool isChecked(int id) const { return window().isChecked(id); }
  void setCheck(int id, bool checked) { window().setCheck(id, checked); }
  int messageBox(std::string_view text, Buttons buttons = Buttons::ok) {
    return window().messageBox(text, buttons);
  }

 private:
  Backend& backend_;
  const res::Dialog& resource_;
  Window* window_ = nullptr;
};

// Left and top of a window of the given outer size centred on the screen, with the truncating
// division the dialogs use.
struct Placement {
  int x, y, width, height;
};
Placement centred(int screenWidth, int screenHeight, int width, int height);

}  // namespace ui
