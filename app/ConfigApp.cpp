#include "app/ConfigApp.h"

#include "dialogs/search.h"

bool ConfigApp::initInstance(DeviceState& state, Environment& env) {
  search mainWindow(state, env);
  mainWindow.doModal();
  return false;
}

Editors programEditors() {
  // The editors join here as they are built; a button whose editor is missing opens nothing.
  return {};
}
