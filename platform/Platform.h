#pragma once

#include <optional>
#include <string>

#include "platform/Clock.h"

namespace platform {

struct LocalTime {
  int year, month, day, hour, minute, second;
};

struct ScreenSize {
  int width, height;
};

// What the dialogs need of the machine besides the serial ports. Folders are UTF-8.
class Platform {
 public:
  virtual ~Platform() = default;
  virtual Clock& clock() = 0;
  virtual LocalTime localTime() = 0;
  virtual ScreenSize screenSize() = 0;
  // Nothing when the folder cannot be found.
  virtual std::optional<std::string> documentsFolder() = 0;
  virtual std::optional<std::string> executableFolder() = 0;
};

// A machine for tests: the virtual clock, a settable local time and screen, given folders.
class VirtualPlatform final : public Platform {
 public:
  explicit VirtualPlatform(VirtualClock& clock) : clock_(clock) {}

  Clock& clock() override { return clock_; }
  LocalTime localTime() override { return time; }
  ScreenSize screenSize() override { return screen; }
  std::optional<std::string> documentsFolder() override { return documents; }
  std::optional<std::string> executableFolder() override { return executable; }

  LocalTime time{2021, 3, 9, 8, 5, 7};
  ScreenSize screen{1024, 768};
  std::optional<std::string> documents;
  std::optional<std::string> executable;

 private:
  VirtualClock& clock_;
};

}  // namespace platform
