// Figures for the control parameter write over a real pseudo-terminal against a qtr77-sim
// process: the wall time of a full write sequence against its expected length,
// 21 x (T + 200 ms) + 2 x (T + 200 ms + 300 ms).

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "app/DeviceState.h"
#include "dialogs/set2.h"
#include "link/OpenPort.h"
#include "link/SerialPosix.h"
#include "resources/ControlTemplate.h"
#include "ui/headless/HeadlessBackend.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace ids = res::control_params;

}  // namespace

int main() {
  std::string pattern = (std::filesystem::temp_directory_path() / "qtr77-write-XXXXXX").string();
  const std::string folder = ::mkdtemp(pattern.data());
  const std::string link = folder + "/COM3";
  const pid_t sim = ::fork();
  if (sim == 0) {
    ::execl(QTR77_SIM_PATH, QTR77_SIM_PATH, "--link", link.c_str(), "--scale", "3", nullptr);
    ::_exit(127);
  }
  struct stat st {};
  for (int i = 0; i < 200 && ::lstat(link.c_str(), &st) != 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));

  std::printf("control parameter write sequence over a pty (21 writes, scale option 3)\n");
  std::printf("%8s %12s %12s %8s\n", "T ms", "wall ms", "expected ms", "ratio");
  for (int t : {200, 300}) {
    platform::VirtualClock uiClock;  // only the script's own waits
    // The editor's pauses are real here: it sleeps on the machine's clock.
    platform::SystemClock realClock;
    platform::VirtualPlatform machine(realClock);
    comm::PosixSerialSystem serial(folder);
    DeviceState state;
    state.portNumber = 3;
    state.portBaud = 9600;
    state.portTimeout = t;
    state.unitAddress = 1;
    Clock::time_point start;
    Clock::time_point end;
    ui::headless::HeadlessBackend backend(
        uiClock, ui::headless::Script()
                     .ok()
                     .inspect([&](ui::headless::HeadlessWindow&) { start = Clock::now(); })
                     .click(ids::kWrite)
                     .ok()
                     .ok()
                     .ok()
                     .inspect([&](ui::headless::HeadlessWindow&) { end = Clock::now(); })
                     .escape());
    Environment env{backend, serial, machine, {}};
    set2 editor(state, env);
    editor.doModal();
    const double wall = std::chrono::duration<double, std::milli>(end - start).count();
    const double expected = 21.0 * (t + 200) + 2.0 * (t + 200 + 300);
    std::printf("%8d %12.1f %12.0f %8.4f%s\n", t, wall, expected, wall / expected,
                backend.problems().empty() ? "" : "  (script problems)");
  }
  ::kill(sim, SIGTERM);
  ::waitpid(sim, nullptr, 0);
  ::rmdir(folder.c_str());
  return 0;
}
