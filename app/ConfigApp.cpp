#include "app/ConfigApp.h"

#include "dialogs/eeprom.h"
#include "dialogs/search.h"
#include "dialogs/set1.h"
#include "dialogs/set2.h"

bool ConfigApp::initInstance(DeviceState& state, Environment& env) {
  search mainWindow(state, env);
  mainWindow.doModal();
  return false;
}

namespace {

template <typename Editor>
void runEditor(DeviceState& state, Environment& env) {
  Editor editor(state, env);
  editor.doModal();
}

}  // namespace

Editors programEditors() {
  Editors editors;
  editors.commParams = runEditor<set1>;
  editors.controlParams = runEditor<set2>;
  editors.eepromCells = runEditor<eeprom>;
  return editors;
}
