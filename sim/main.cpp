// qtr77-sim: a simulated QTR77 unit on a pseudo-terminal.
//
// It publishes the terminal's slave side as a link (for example ports/COM3), so that the serial
// backends and Wine find it like a COM port, and answers at the unit's own line settings only.

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "link/OpenPort.h"
#include "sim/Unit.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;
void onSignal(int) {
  stopRequested = 1;
}

const char* kUsage =
    "usage: qtr77-sim --link PATH [options]\n"
    "  --link PATH        publish the unit's port as this symbolic link (e.g. ports/COM3)\n"
    "  --address N        station address, 1..99 (default 1)\n"
    "  --speed BPS        9600, 19200 or 57600 (default 9600)\n"
    "  --parity P         none, even or odd (default none)\n"
    "  --delay CODE       response delay code 0..5: 10, 20, 40, 80, 120, 200 ms (default 0)\n"
    "  --firmware N       master firmware version x 100, 0..255 (default 120)\n"
    "  --voltage CODE     supply voltage code 0..15 (default 4: 400 V)\n"
    "  --method CODE      control method code 0..15 (default 0: P0)\n"
    "  --scale N          scale option g_SPC_COM; 3 enables register 0x0314 (default 0)\n"
    "  --key N            maintenance key, decimal or 0x hex (default: the build's key)\n"
    "  --fault KIND       none, silent, late, short, long, function, station, exception, check\n"
    "  --fault-skip N     answers that go out untouched before the fault starts (default 0)\n"
    "  --fault-count N    answers the fault affects, -1 for all (default -1)\n"
    "  --late-ms N        extra delay of the late fault (default 1000)\n"
    "  --trace            print one line per frame in and out: time, direction, bytes\n";

[[noreturn]] void badArgument(const std::string& message) {
  std::fprintf(stderr, "qtr77-sim: %s\n", message.c_str());
  std::exit(2);
}

long parseNumber(const std::string& option, const std::string& text, long low, long high) {
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text.c_str(), &end, 0);
  if (text.empty() || *end != '\0' || errno != 0 || value < low || value > high)
    badArgument(option + ": expected a number from " + std::to_string(low) + " to " +
                std::to_string(high) + ", got '" + text + "'");
  return value;
}

struct Options {
  std::string link;
  bool trace = false;
};

std::optional<speed_t> speedOf(long bps) {
  switch (bps) {
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 57600:
      return B57600;
    default:
      return std::nullopt;
  }
}

long bpsOf(speed_t speed) {
  switch (speed) {
    case B9600:
      return 9600;
    case B19200:
      return 19200;
    case B57600:
      return 57600;
    case B38400:
      return 38400;
    case B115200:
      return 115200;
    default:
      return 0;
  }
}

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void trace(bool on, std::chrono::steady_clock::time_point start, const char* direction,
           const std::uint8_t* bytes, std::size_t n, const char* note = "") {
  if (!on) return;
  std::printf("%10.3f %s", secondsSince(start), direction);
  for (std::size_t i = 0; i < n; ++i) std::printf(" %02X", bytes[i]);
  std::printf("%s\n", note);
  std::fflush(stdout);
}

// Sleeps up to ms, waking early when a stop is requested.
void pause(int ms) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!stopRequested && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min(ms, 5)));
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  sim::Unit unit(QTR77_MAINTENANCE_KEY);
  comm::LineSettingCodes codes = unit.lineCodes();

  std::vector<std::string> args(argv + 1, argv + argc);
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= args.size()) badArgument(option + ": missing value");
      return args[++i];
    };
    if (option == "--link") {
      options.link = value();
    } else if (option == "--address") {
      unit.setStation(static_cast<int>(parseNumber(option, value(), 1, 99)));
    } else if (option == "--speed") {
      const std::string text = value();
      const long bps = parseNumber(option, text, 9600, 57600);
      if (!speedOf(bps))
        badArgument(option + ": expected 9600, 19200 or 57600, got '" + text + "'");
      codes.speedCode = bps == 9600 ? 0 : bps == 19200 ? 1 : 2;
    } else if (option == "--parity") {
      const std::string text = value();
      if (text == "none") {
        codes.parityCode = 0;
      } else if (text == "even") {
        codes.parityCode = 1;
      } else if (text == "odd") {
        codes.parityCode = 2;
      } else {
        badArgument(option + ": expected none, even or odd, got '" + text + "'");
      }
    } else if (option == "--delay") {
      codes.delayCode = static_cast<int>(parseNumber(option, value(), 0, 5));
    } else if (option == "--firmware") {
      unit.firmwareVersion = static_cast<int>(parseNumber(option, value(), 0, 255));
    } else if (option == "--voltage") {
      unit.setSpecReg(comm::g_SPC_VOL,
                      static_cast<std::int16_t>(parseNumber(option, value(), 0, 15)));
    } else if (option == "--method") {
      unit.setSpecReg(comm::g_SPC_FB,
                      static_cast<std::int16_t>(parseNumber(option, value(), 0, 15)));
    } else if (option == "--scale") {
      unit.setSpecReg(comm::g_SPC_COM,
                      static_cast<std::int16_t>(parseNumber(option, value(), -32768, 32767)));
    } else if (option == "--key") {
      unit.maintenanceKey = static_cast<std::uint16_t>(parseNumber(option, value(), 0, 65535));
    } else if (option == "--fault") {
      const std::string text = value();
      const std::optional<sim::Fault> fault = sim::parseFault(text);
      if (!fault) badArgument(option + ": unknown fault '" + text + "'");
      unit.fault.kind = *fault;
    } else if (option == "--fault-skip") {
      unit.fault.skip = static_cast<int>(parseNumber(option, value(), 0, 1000000));
    } else if (option == "--fault-count") {
      unit.fault.count = static_cast<int>(parseNumber(option, value(), -1, 1000000));
    } else if (option == "--late-ms") {
      unit.fault.lateMs = static_cast<int>(parseNumber(option, value(), 0, 60000));
    } else if (option == "--trace") {
      options.trace = true;
    } else if (option == "--help" || option == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else {
      badArgument("unknown argument '" + option + "' (see --help)");
    }
  }
  if (options.link.empty()) badArgument("--link PATH is required (see --help)");
  unit.setLineCodes(codes);

  int master = -1;
  int slave = -1;
  if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
    std::fprintf(stderr, "qtr77-sim: openpty: %s\n", std::strerror(errno));
    return 1;
  }
  // Raw from the start, so the line discipline never echoes a request back before the
  // program has configured the port. The simulator keeps this slave descriptor open: without a
  // slave the master reports a hang-up on every poll.
  termios tios{};
  ::tcgetattr(slave, &tios);
  ::cfmakeraw(&tios);
  ::cfsetispeed(&tios, B9600);
  ::cfsetospeed(&tios, B9600);
  ::tcsetattr(slave, TCSANOW, &tios);
  ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
  const std::string slavePath = ::ttyname(slave);

  struct stat st {};
  if (::lstat(options.link.c_str(), &st) == 0) {
    if (!S_ISLNK(st.st_mode)) badArgument("--link: " + options.link + " exists and is no link");
    ::unlink(options.link.c_str());
  }
  if (::symlink(slavePath.c_str(), options.link.c_str()) != 0) {
    std::fprintf(stderr, "qtr77-sim: cannot create link %s: %s\n", options.link.c_str(),
                 std::strerror(errno));
    return 1;
  }

  struct sigaction action {};
  action.sa_handler = onSignal;
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
  ::signal(SIGPIPE, SIG_IGN);

  const auto start = std::chrono::steady_clock::now();
  {
    const comm::LineSettingCodes c = unit.lineCodes();
    std::printf("qtr77-sim: %s -> %s, station %d, %d bit/s, parity %s, delay code %d\n",
                options.link.c_str(), slavePath.c_str(), unit.station(), unit.baud(),
                std::string(comm::parityName(c.parityCode).value_or("?")).c_str(), c.delayCode);
    std::fflush(stdout);
  }

  // A request is the bytes that arrive without a pause of more than a few character times;
  // a unit that sees a fragment and then a pause drops it.
  std::vector<std::uint8_t> pending;
  auto lastByte = std::chrono::steady_clock::now();
  constexpr auto kFrameGap = std::chrono::milliseconds(20);

  while (!stopRequested) {
    pollfd p{master, POLLIN, 0};
    const int r = ::poll(&p, 1, 200);
    if (r < 0) {
      if (errno == EINTR) continue;
      std::fprintf(stderr, "qtr77-sim: poll: %s\n", std::strerror(errno));
      break;
    }
    if (r == 0) continue;
    std::uint8_t buffer[256];
    const ssize_t n = ::read(master, buffer, sizeof buffer);
    if (n <= 0) continue;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastByte > kFrameGap) pending.clear();
    lastByte = now;
    pending.insert(pending.end(), buffer, buffer + n);

    while (pending.size() >= 8 && !stopRequested) {
      std::vector<std::uint8_t> frame(pending.begin(), pending.begin() + 8);
      pending.erase(pending.begin(), pending.begin() + 8);

      // The host's line speed is that of the slave side, which the master reports. Parity
      // cannot be told: Linux pseudo-terminals clear PARENB whatever the program sets.
      termios host{};
      ::tcgetattr(master, &host);
      const long hostBps = bpsOf(::cfgetospeed(&host));
      const bool eightBits = (host.c_cflag & CSIZE) == CS8;
      if (hostBps != unit.baud() || !eightBits) {
        char note[64];
        std::snprintf(note, sizeof note, "   (not heard: line at %ld bit/s)", hostBps);
        trace(options.trace, start, "in ", frame.data(), frame.size(), note);
        continue;
      }
      trace(options.trace, start, "in ", frame.data(), frame.size());
      const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(
                              std::chrono::steady_clock::now() - start)
                              .count();
      std::optional<sim::Answer> answer = unit.handle(frame, micros);
      if (!answer) {
        trace(options.trace, start, "---", nullptr, 0, " no answer");
        continue;
      }
      pause(answer->delayMs);
      if (stopRequested) break;
      const ssize_t written = ::write(master, answer->bytes.data(), answer->bytes.size());
      (void)written;
      trace(options.trace, start, "out", answer->bytes.data(), answer->bytes.size());
    }
  }

  ::unlink(options.link.c_str());
  ::close(slave);
  ::close(master);
  return 0;
}
