// Figures for the port scan over real pseudo-terminals: the wall time the main window's search
// spends per silent port against nine port time-outs, with the scan's own work on top.

#include <pty.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/DeviceState.h"
#include "dialogs/search.h"
#include "link/SerialPosix.h"
#include "resources/SearchTemplate.h"
#include "ui/headless/HeadlessBackend.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace ids = res::search;

struct Pty {
  int master = -1;
  int slave = -1;
};

}  // namespace

int main() {
  std::string pattern = (std::filesystem::temp_directory_path() / "qtr77-scan-XXXXXX").string();
  const std::string folder = ::mkdtemp(pattern.data());
  constexpr int kSilentPorts = 3;
  std::vector<Pty> ptys(kSilentPorts);
  for (int i = 0; i < kSilentPorts; ++i) {
    if (::openpty(&ptys[i].master, &ptys[i].slave, nullptr, nullptr, nullptr) != 0) return 1;
    const std::string link = folder + "/COM" + std::to_string(i + 1);
    if (::symlink(::ttyname(ptys[i].slave), link.c_str()) != 0) return 1;
  }

  std::printf("port scan, COM1-COM9: %d silent ptys, %d absent ports\n", kSilentPorts,
              9 - kSilentPorts);
  std::printf("%8s %12s %14s %16s %8s\n", "T ms", "wall ms", "9 x T x ports", "per silent port",
              "ratio");
  const int timeouts[] = {200, 300, 400, 500};
  const int radios[] = {ids::kTimeout200, ids::kTimeout300, ids::kTimeout400, ids::kTimeout500};
  for (int i = 0; i < 4; ++i) {
    platform::VirtualClock uiClock;  // only the script's own waits; the scan runs in real time
    platform::VirtualPlatform machine(uiClock);
    comm::PosixSerialSystem serial(folder);
    ui::headless::HeadlessBackend backend(
        uiClock, ui::headless::Script().click(radios[i]).click(ids::kStart).ok().escape());
    Environment env{backend, serial, machine, {}};
    DeviceState state;
    search window(state, env);
    const auto start = Clock::now();
    window.doModal();
    const double wall = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    const double expected = 9.0 * timeouts[i] * kSilentPorts;
    std::printf("%8d %12.1f %14.0f %16.1f %8.4f\n", timeouts[i], wall, expected,
                wall / kSilentPorts, wall / expected);
  }

  for (int i = 0; i < kSilentPorts; ++i) {
    ::unlink((folder + "/COM" + std::to_string(i + 1)).c_str());
    ::close(ptys[i].slave);
    ::close(ptys[i].master);
  }
  ::rmdir(folder.c_str());
  return 0;
}
