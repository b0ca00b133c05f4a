#pragma once

#include <optional>
#include <string>
#include <string_view>

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

  // Creates or replaces folder/name with exactly these bytes. On any failure, in creating,
  // writing or closing, nothing of the file is left behind and the result is false.
  virtual bool writeNewFile(const std::string& folder, const std::string& name,
                            std::string_view bytes) = 0;
};

// The program's UTF-8 text in the Japanese Windows code page, as its files carry it.
// Nothing when a character has no CP932 form.
std::optional<std::string> toCp932(std::string_view utf8);

// A machine for tests: the virtual clock (or, for benchmarks, real time), a settable local
// time and screen, given folders.
class VirtualPlatform final : public Platform {
 public:
  explicit VirtualPlatform(Clock& clock) : clock_(clock) {}

  Clock& clock() override { return clock_; }
  LocalTime localTime() override { return time; }
  ScreenSize screenSize() override { return screen; }
  std::optional<std::string> documentsFolder() override { return documents; }
  std::optional<std::string> executableFolder() override { return executable; }
  // Real files on this machine, with "/" between folder and name.
  bool writeNewFile(const std::string& folder, const std::string& name,
                    std::string_view bytes) override;

  LocalTime time{2021, 3, 9, 8, 5, 7};
  // A disk that fills up: the file is created, then the write fails.
  bool diskFull = false;
  ScreenSize screen{1024, 768};
  std::optional<std::string> documents;
  std::optional<std::string> executable;

 private:
  Clock& clock_;
};

}  // namespace platform
