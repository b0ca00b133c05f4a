#pragma once

#include "platform/Platform.h"

namespace platform {

// The running Windows machine.
class Win32Platform final : public Platform {
 public:
  Clock& clock() override { return clock_; }
  LocalTime localTime() override;
  ScreenSize screenSize() override;
  std::optional<std::string> documentsFolder() override;
  std::optional<std::string> executableFolder() override;
  bool writeNewFile(const std::string& folder, const std::string& name,
                    std::string_view bytes) override;

 private:
  SystemClock clock_;
};

}  // namespace platform
