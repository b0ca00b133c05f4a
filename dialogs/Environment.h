#pragma once

#include <functional>

#include "link/SerialPort.h"
#include "platform/Platform.h"
#include "ui/Window.h"

struct DeviceState;
struct Environment;

// Runs one editor modally on the shared state; the main window does not look at the result.
using EditorRunner = std::function<void(DeviceState&, Environment&)>;

// The three editors that the main window opens. Each is given here rather than named in the
// main window, so the main window's launch steps can be shown on their own.
struct Editors {
  EditorRunner commParams;     // button 1058
  EditorRunner controlParams;  // button 1063
  EditorRunner eepromCells;    // button 1064
};

// The services every dialog is given when it is created, besides the shared DeviceState.
struct Environment {
  ui::Backend& ui;
  comm::SerialSystem& serial;
  platform::Platform& platform;
  Editors editors;
};
