#include "dialogs/RecordFile.h"

#include <cstdio>

namespace record {

std::string fileName(std::string_view prefix, int yearDigits, const platform::LocalTime& t) {
  char stamp[32];
  const int year = yearDigits == 2 ? t.year % 100 : t.year;
  std::snprintf(stamp, sizeof stamp, "%0*d%02d%02d%02d%02d%02d.csv", yearDigits, year, t.month,
                t.day, t.hour, t.minute, t.second);
  return std::string(prefix) + stamp;
}

std::optional<std::string> fileText(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    const std::optional<std::string> encoded = platform::toCp932(line);
    if (!encoded) return std::nullopt;
    text += *encoded;
    text += "\r\n";
  }
  return text;
}

bool write(ui::Window& window, platform::Platform& platform,
           const std::optional<std::string>& folder, const std::string& name,
           const std::vector<std::string>& lines) {
  const std::optional<std::string> text = fileText(lines);
  if (!folder || !text || !platform.writeNewFile(*folder, name, *text)) {
    window.messageBox(kCannotCreate, ui::Buttons::ok);
    return false;
  }
  window.messageBox("設定を記録しました。\rファイル: " + name, ui::Buttons::ok);
  return true;
}

}  // namespace record
