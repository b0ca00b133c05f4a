#include "link/SerialPosix.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <utility>

#include "link/DeviceName.h"

namespace comm {

namespace {

struct SpeedEntry {
  std::uint32_t baud;
  speed_t code;
};

constexpr std::array<SpeedEntry, 12> kSpeeds{{{300, B300},
                                              {600, B600},
                                              {1200, B1200},
                                              {2400, B2400},
                                              {4800, B4800},
                                              {9600, B9600},
                                              {19200, B19200},
                                              {38400, B38400},
                                              {57600, B57600},
                                              {115200, B115200},
                                              {230400, B230400},
                                              {460800, B460800}}};

std::optional<speed_t> speedCode(std::uint32_t baud) {
  for (const auto& e : kSpeeds)
    if (e.baud == baud) return e.code;
  return std::nullopt;
}

std::uint32_t speedBaud(speed_t code) {
  for (const auto& e : kSpeeds)
    if (e.code == code) return e.baud;
  return 0;
}

std::string errnoText(const char* what) {
  return std::string(what) + ": " + std::strerror(errno);
}

using SteadyClock = std::chrono::steady_clock;

// Milliseconds left until the deadline, rounded up so that poll never wakes early.
int msUntil(SteadyClock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - SteadyClock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

class PosixPort final : public SerialPort {
 public:
  explicit PosixPort(int fd) : fd_(fd) {}
  ~PosixPort() override { ::close(fd_); }

  bool getLineConfig(LineConfig& config) override {
    termios tios{};
    if (::tcgetattr(fd_, &tios) != 0) return fail(errnoText("tcgetattr"));
    // Flags that termios cannot express keep what was last set through this handle.
    config = shadow_;
    config.baudRate = speedBaud(::cfgetospeed(&tios));
    switch (tios.c_cflag & CSIZE) {
      case CS5:
        config.byteSize = 5;
        break;
      case CS6:
        config.byteSize = 6;
        break;
      case CS7:
        config.byteSize = 7;
        break;
      default:
        config.byteSize = 8;
    }
    config.parity =
        (tios.c_cflag & PARENB) ? ((tios.c_cflag & PARODD) ? kOddParity : kEvenParity) : kNoParity;
    config.stopBits = (tios.c_cflag & CSTOPB) ? kTwoStopBits : kOneStopBit;
    config.fOutxCtsFlow = (tios.c_cflag & CRTSCTS) != 0;
    config.fOutX = (tios.c_iflag & IXON) != 0;
    config.fInX = (tios.c_iflag & IXOFF) != 0;
    return true;
  }

  bool setLineConfig(const LineConfig& config) override {
    termios tios{};
    if (::tcgetattr(fd_, &tios) != 0) return fail(errnoText("tcgetattr"));
    const std::optional<speed_t> speed = speedCode(config.baudRate);
    if (!speed)
      return fail("line speed " + std::to_string(config.baudRate) + " is not a termios speed");
    ::cfmakeraw(&tios);
    tios.c_cflag |= CLOCAL | CREAD;
    tios.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    switch (config.byteSize) {
      case 5:
        tios.c_cflag |= CS5;
        break;
      case 6:
        tios.c_cflag |= CS6;
        break;
      case 7:
        tios.c_cflag |= CS7;
        break;
      default:
        tios.c_cflag |= CS8;
    }
    if (config.parity == kEvenParity) tios.c_cflag |= PARENB;
    if (config.parity == kOddParity) tios.c_cflag |= PARENB | PARODD;
    if (config.parity != kNoParity && config.fParity) tios.c_iflag |= INPCK;
    if (config.stopBits == kTwoStopBits) tios.c_cflag |= CSTOPB;
    if (config.fOutxCtsFlow) tios.c_cflag |= CRTSCTS;
    if (config.fOutX) tios.c_iflag |= IXON;
    if (config.fInX) tios.c_iflag |= IXOFF;
    // The read waits in poll() on its own deadline; the descriptor itself never blocks.
    tios.c_cc[VMIN] = 0;
    tios.c_cc[VTIME] = 0;
    ::cfsetispeed(&tios, *speed);
    ::cfsetospeed(&tios, *speed);
    if (::tcsetattr(fd_, TCSANOW, &tios) != 0) return fail(errnoText("tcsetattr"));
    setModemLine(TIOCM_DTR, config.fDtrControl != kDtrControlDisable);
    setModemLine(TIOCM_RTS, config.fRtsControl != kRtsControlDisable);
    shadow_ = config;
    return true;
  }

  bool setTimeouts(const CommTimeouts& timeouts) override {
    timeouts_ = timeouts;
    return true;
  }

  std::size_t write(std::span<const std::uint8_t> bytes) override {
    const auto deadline =
        SteadyClock::now() + totalTimeout(timeouts_.writeTotalTimeoutConstant,
                                          timeouts_.writeTotalTimeoutMultiplier, bytes.size());
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
      if (n > 0) {
        done += static_cast<std::size_t>(n);
        continue;
      }
      if (n < 0 && errno != EAGAIN && errno != EINTR) {
        fail(errnoText("write"));
        break;
      }
      pollfd p{fd_, POLLOUT, 0};
      const int wait = msUntil(deadline);
      if (wait == 0 || ::poll(&p, 1, wait) == 0) {
        fail("write time-out");
        break;
      }
    }
    return done;
  }

  std::size_t read(std::span<std::uint8_t> buffer) override {
    const auto deadline =
        SteadyClock::now() + totalTimeout(timeouts_.readTotalTimeoutConstant,
                                          timeouts_.readTotalTimeoutMultiplier, buffer.size());
    std::size_t got = 0;
    while (got < buffer.size()) {
      // Raw mode with VMIN = VTIME = 0: read() gives 0 when nothing is there, and poll() does
      // the waiting.
      const ssize_t n = ::read(fd_, buffer.data() + got, buffer.size() - got);
      if (n > 0) {
        got += static_cast<std::size_t>(n);
        continue;
      }
      if (n < 0 && errno != EAGAIN && errno != EINTR) {
        // The device went away (a pseudo-terminal whose other side closed reports EIO).
        fail(errnoText("read"));
        break;
      }
      const int wait = msUntil(deadline);
      if (wait == 0) break;
      pollfd p{fd_, POLLIN, 0};
      const int r = ::poll(&p, 1, wait);
      if (r == 0) break;
      if (r < 0) {
        if (errno == EINTR) continue;
        fail(errnoText("poll"));
        break;
      }
      if ((p.revents & POLLIN) == 0) {
        fail("device hung up");
        break;
      }
    }
    return got;
  }

  void discardInput() override { ::tcflush(fd_, TCIFLUSH); }

 private:
  static std::chrono::milliseconds totalTimeout(std::uint32_t constant, std::uint32_t multiplier,
                                                std::size_t count) {
    return std::chrono::milliseconds(static_cast<std::int64_t>(constant) +
                                     static_cast<std::int64_t>(multiplier) *
                                         static_cast<std::int64_t>(count));
  }

  // DTR and RTS are held inactive on a real port; a pseudo-terminal has no modem lines, so a
  // refusal there is no failure of the line configuration.
  void setModemLine(int line, bool active) { ::ioctl(fd_, active ? TIOCMBIS : TIOCMBIC, &line); }

  int fd_;
  LineConfig shadow_;
  CommTimeouts timeouts_;
};

}  // namespace

std::string PosixSerialSystem::devicePath(int portNumber) const {
  if (!portsFolder_.empty()) return portsFolder_ + "/COM" + std::to_string(portNumber);
  return "/dev/ttyS" + std::to_string(portNumber - 1);
}

PortHandle PosixSerialSystem::open(const std::string& deviceName) {
  const std::optional<int> number = parseDeviceName(deviceName);
  if (!number) return fail("not a serial device name: " + deviceName);
  const std::string path = devicePath(*number);
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return fail(errnoText(path.c_str()));
  // Windows opens a COM port without sharing. TIOCEXCL does not stop root, so a lock on the
  // open file stands in for it; a second open of the same device, even in this process, fails.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int lockError = errno;
    ::close(fd);
    errno = lockError;
    return fail(path + ": in use (" + std::strerror(lockError) + ")");
  }
  return std::make_unique<PosixPort>(fd);
}

}  // namespace comm
