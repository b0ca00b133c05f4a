// Start-up and exit: the application runs the main window and ends with it.

#include <gtest/gtest.h>

#include "app/ConfigApp.h"
#include "resources/SearchTemplate.h"
#include "tests/support/Rig.h"

namespace {

using testing_support::Rig;
using ui::headless::Script;

TEST(ConfigApp, RunsTheMainWindowAndEndsWithIt) {
  Rig rig;
  rig.plugUnit(2);
  rig.ui = std::make_unique<ui::headless::HeadlessBackend>(
      rig.clock, Script().click(res::search::kStart).ok().escape());
  Environment env{*rig.ui, rig.serial, rig.platform, programEditors()};
  ConfigApp app;
  EXPECT_FALSE(app.initInstance(rig.state, env)) << "no message loop of its own";
  EXPECT_TRUE(rig.ui->scriptDone());
  EXPECT_TRUE(rig.ui->problems().empty());
  EXPECT_EQ(rig.transcript().front(), "open 103");
  EXPECT_EQ(rig.transcript().back(), "end 103: 2");
  // The port stays open after the main window closes; the process releases it at exit.
  EXPECT_TRUE(rig.serial.isOpen(2));
}

TEST(ConfigApp, TheMainWindowOpensTheThreeEditors) {
  Rig rig;
  rig.plugUnit(2);
  rig.ui = std::make_unique<ui::headless::HeadlessBackend>(rig.clock,
                                                           Script()
                                                               .click(res::search::kStart)
                                                               .ok()
                                                               .click(res::search::kEditComm)
                                                               .escape()
                                                               .click(res::search::kEditControl)
                                                               .ok()
                                                               .escape()
                                                               .click(res::search::kEeprom)
                                                               .escape()
                                                               .escape());
  Environment env{*rig.ui, rig.serial, rig.platform, programEditors()};
  ConfigApp().initInstance(rig.state, env);
  EXPECT_TRUE(rig.ui->problems().empty());
  for (const char* line :
       {"open 104", "end 104: 2", "open 105", "end 105: 2", "open 107", "end 107: 2"})
    EXPECT_TRUE(rig.saw(line)) << line;
}

TEST(DeviceStateRecord, StartValues) {
  const DeviceState state;
  EXPECT_EQ(state.portHandle, nullptr);
  EXPECT_EQ(DeviceState::toolVersion, 114);
  EXPECT_NE(DeviceState::maintenanceKey, 0);
  EXPECT_EQ(state.portNumber + state.portBaud + state.portParity + state.portTimeout, 0);
  EXPECT_EQ(state.unitAddress + state.masterVersion + state.writeDoneFlag, 0);
  for (std::int16_t v : state.controlRegs) EXPECT_EQ(v, 0);
  for (std::int16_t v : state.specRegs) EXPECT_EQ(v, 0);
}

}  // namespace
