// The Windows entry point.

#include <windows.h>

#include <commctrl.h>

#include "app/ConfigApp.h"
#include "link/SerialWin32.h"
#include "platform/Win32Platform.h"
#include "ui/win32/Win32Backend.h"

namespace {

// The one application object and the one shared record, both with static storage duration,
// valid from process start. The serial port that the record holds stays open until the
// process ends.
ConfigApp theApp;
DeviceState theDeviceState;

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // The up-down and progress controls of the editors come from the common controls.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&controls);

  platform::Win32Platform platform;
  comm::Win32SerialSystem serial;
  ui::win32::Win32Backend backend;
  Environment env{backend, serial, platform, programEditors()};
  theApp.initInstance(theDeviceState, env);
  return 0;
}
