#pragma once

#include "app/DeviceState.h"
#include "dialogs/Environment.h"

// The application: it shows the main window as the only top-level window, runs it modally,
// and ends the program when that window closes. Nothing is read at start or saved at exit.
class ConfigApp {
 public:
  // Runs the main window on `state` and returns false, so that the caller ends the program
  // instead of entering a message loop of its own.
  bool initInstance(DeviceState& state, Environment& env);
};

// The editors the main window opens, as built into this program.
Editors programEditors();
