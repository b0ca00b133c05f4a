#pragma once

#include <string>
#include <string_view>

#include "resources/Template.h"

namespace ui {

class Dialog;

enum class Buttons { ok, okCancel };

// A dialog window while it is shown: what a dialog class may do to its window and controls.
// Each backend implements it; control ids are those of the dialog's template.
class Window {
 public:
  virtual ~Window() = default;

  virtual std::string text(int id) const = 0;
  virtual void setText(int id, std::string_view text) = 0;
  virtual bool isEnabled(int id) const = 0;
  virtual void enable(int id, bool enabled) = 0;
  virtual bool isChecked(int id) const = 0;
  virtual void setCheck(int id, bool checked) = 0;

  // Up-down controls (32-bit range, position as the control reports it).
  virtual void setRange(int id, int lower, int upper) = 0;
  virtual int position(int id) const = 0;
  virtual void setPosition(int id, int position) = 0;

  // List boxes.
  virtual int addLine(int id, std::string_view text) = 0;
  virtual int lineCount(int id) const = 0;
  virtual std::string lineText(int id, int index) const = 0;
  virtual void deleteLine(int id, int index) = 0;

  // Progress bars.
  virtual void setProgressRange(int id, int lower, int upper) = 0;
  virtual void setProgress(int id, int position) = 0;

  // A modal message box owned by this window; the result is kIdOk or kIdCancel.
  virtual int messageBox(std::string_view text, Buttons buttons) = 0;

  virtual void setTimer(int id, int periodMs) = 0;
  virtual void killTimer(int id) = 0;
  // Outer size and position in pixels.
  virtual void moveWindow(int x, int y, int width, int height) = 0;
  virtual void setTitle(std::string_view title) = 0;
  virtual void end(int result) = 0;
};

// Runs dialogs modally. A dialog that runs another dialog from one of its handlers nests a
// modal loop, as on Windows.
class Backend {
 public:
  virtual ~Backend() = default;
  virtual int runModal(Dialog& dialog, const res::Dialog& resource) = 0;
};

}  // namespace ui
