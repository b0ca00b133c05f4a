#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/DeviceState.h"
#include "dialogs/Environment.h"
#include "link/OpenPort.h"
#include "link/VirtualLine.h"
#include "platform/Platform.h"
#include "sim/Unit.h"
#include "sim/VirtualUnit.h"
#include "ui/headless/HeadlessBackend.h"

namespace testing_support {

// Everything a dialog runs on in a behaviour test: virtual time, virtual serial ports with a
// simulated unit, a 1024 x 768 screen, the shared record, and a scripted user.
struct Rig {
  platform::VirtualClock clock;
  comm::VirtualSerialSystem serial{clock};
  platform::VirtualPlatform platform{clock};
  sim::Unit unit{DeviceState::maintenanceKey};
  sim::VirtualUnit unitOnLine{unit};
  DeviceState state;
  Editors editors;
  std::unique_ptr<ui::headless::HeadlessBackend> ui;

  // Connects the unit to port n.
  void plugUnit(int n) { serial.addPort(n, &unitOnLine); }

  // What a search that found the unit on port n leaves behind: the port open at the unit's
  // line settings with a 200 ms time-out, and the unit's address and codes in DeviceState.
  void found(int n) {
    const comm::LineSettingCodes codes = unit.lineCodes();
    state.portNumber = n;
    state.portBaud = unit.baud();
    state.portParity = codes.parityCode;
    state.portTimeout = 200;
    state.unitAddress = static_cast<std::int16_t>(unit.station());
    state.speedCode = static_cast<std::int16_t>(codes.speedCode);
    state.parityCode = static_cast<std::int16_t>(codes.parityCode);
    state.delayCode = static_cast<std::int16_t>(codes.delayCode);
    EXPECT_EQ(comm::openPort(state.portHandle, serial, n, state.portBaud, state.portParity, 200),
              0);
  }

  // Runs `Dialog` on this rig with the script and returns the dialog's result. `created` gets
  // the dialog object before it opens, so that script steps can call its operations.
  template <typename Dialog>
  int run(ui::headless::Script script, const std::function<void(Dialog&)>& created = {}) {
    ui = std::make_unique<ui::headless::HeadlessBackend>(clock, std::move(script));
    Environment env{*ui, serial, platform, editors};
    Dialog dialog(state, env);
    if (created) created(dialog);
    return dialog.doModal();
  }

  const std::vector<std::string>& transcript() const { return ui->transcript(); }
  bool saw(const std::string& line) const {
    const auto& t = transcript();
    return std::find(t.begin(), t.end(), line) != t.end();
  }
  std::vector<std::string> boxes() const {
    std::vector<std::string> texts;
    for (const std::string& line : transcript())
      if (line.rfind("box: ", 0) == 0) texts.push_back(line.substr(5));
    return texts;
  }
  // The requests sent to port n, in order.
  std::vector<std::vector<std::uint8_t>> requestsTo(int n) const {
    std::vector<std::vector<std::uint8_t>> requests;
    for (const auto& event : serial.wireLog())
      if (event.port == n && event.direction == comm::VirtualSerialSystem::Direction::toDevice)
        requests.push_back(event.bytes);
    return requests;
  }
};

}  // namespace testing_support
