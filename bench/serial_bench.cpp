// Figures for the serial link on real pseudo-terminals: how closely a silent transaction keeps
// to the port's time-out, what an attempt on an absent port costs, and how much processor time
// a waiting read burns. It prints figures and ratios; it asserts nothing.

#include <pty.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "link/OpenPort.h"
#include "link/SerialPosix.h"
#include "link/Transaction.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double cpuMs() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  auto ms = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_usec) / 1000.0;
  };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

}  // namespace

int main() {
  std::string pattern = (std::filesystem::temp_directory_path() / "qtr77-bench-XXXXXX").string();
  const std::string folder = ::mkdtemp(pattern.data());
  int master = -1;
  int slave = -1;
  if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
    std::perror("openpty");
    return 1;
  }
  const std::string link = folder + "/COM1";
  if (::symlink(::ttyname(slave), link.c_str()) != 0) {
    std::perror("symlink");
    return 1;
  }
  comm::PosixSerialSystem system(folder);
  comm::PortHandle port;

  std::printf("silent transaction on a pty (unitInfoRead, nobody answers), 5 runs per T\n");
  std::printf("%8s %10s %10s %12s %8s\n", "T ms", "mean ms", "max ms", "max over T", "target");
  double worstOver = 0;
  for (int t = 200; t <= 700; t += 100) {
    if (comm::openPort(port, system, 1, 9600, 0, t) != 0) {
      std::printf("openPort failed: %s\n", system.lastError().c_str());
      return 1;
    }
    double sum = 0;
    double max = 0;
    for (int i = 0; i < 5; ++i) {
      const auto start = Clock::now();
      comm::transact(port.get(), comm::unitInfoRead(), 0, nullptr);
      const double ms = msSince(start);
      sum += ms;
      max = std::max(max, ms);
    }
    worstOver = std::max(worstOver, max - t);
    std::printf("%8d %10.2f %10.2f %+12.2f %8s\n", t, sum / 5, max, max - t, "+5 ms");
  }
  std::printf("worst overshoot %.2f ms (target within 5 ms)\n\n", worstOver);

  const int attempts = 2000;
  comm::PortHandle absent;
  const auto start = Clock::now();
  for (int i = 0; i < attempts; ++i) comm::openPort(absent, system, 7, 9600, 0, 200);
  const double perAttempt = msSince(start) / attempts;
  std::printf("attempt on an absent port: %.4f ms per openPort (target under 1 ms, ratio %.3f)\n\n",
              perAttempt, perAttempt / 1.0);

  comm::openPort(port, system, 1, 9600, 0, 700);
  const double cpuBefore = cpuMs();
  const auto waitStart = Clock::now();
  for (int i = 0; i < 3; ++i) comm::transact(port.get(), comm::unitInfoRead(), 0, nullptr);
  const double wall = msSince(waitStart);
  const double cpu = cpuMs() - cpuBefore;
  std::printf(
      "processor time while reads wait: %.2f ms over %.0f ms of waiting (%.3f%%, target "
      "near zero)\n",
      cpu, wall, 100.0 * cpu / wall);

  port.reset();
  ::unlink(link.c_str());
  ::rmdir(folder.c_str());
  ::close(slave);
  ::close(master);
  return 0;
}
