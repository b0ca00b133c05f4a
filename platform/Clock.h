#pragma once

#include <cstdint>

namespace platform {

// Microseconds on a monotonic time line. Serial time-outs are whole milliseconds, but the
// virtual line needs finer steps to place bytes on the wire at 57600 bit/s.
using Micros = std::int64_t;

constexpr Micros millis(std::int64_t ms) {
  return ms * 1000;
}

// The program's notion of time: where it is now, and the blocking pause that callers use to
// pace their transactions. Tests substitute the virtual clock, so a 300 ms pause costs nothing
// and is still measured.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual Micros now() const = 0;
  virtual void sleepMs(int ms) = 0;
};

// Wall-clock time on the steady clock.
class SystemClock final : public Clock {
 public:
  Micros now() const override;
  void sleepMs(int ms) override;
};

// Time that passes only when somebody waits. The virtual serial line shares it, so a read that
// times out moves it by exactly the time-out.
class VirtualClock final : public Clock {
 public:
  Micros now() const override { return now_; }
  void sleepMs(int ms) override {
    if (ms > 0) now_ += millis(ms);
  }
  void advanceTo(Micros t) {
    if (t > now_) now_ = t;
  }

 private:
  Micros now_ = 0;
};

}  // namespace platform
