#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"
#include "ui/Dialog.h"

// The program's time-stamped record files (the settings record and the EEPROM dump): one time
// stamp for name and content, CP932 text with CR LF after every line, one write, and the same
// messages.
namespace record {

inline constexpr std::string_view kCannotCreate = "ファイルを作成できません";

// prefix + year (2 or 4 digits) + MMDDhhmmss + ".csv".
std::string fileName(std::string_view prefix, int yearDigits, const platform::LocalTime& t);

// The file's bytes: every line in CP932 followed by CR LF. Nothing when a line has a character
// that CP932 cannot hold.
std::optional<std::string> fileText(const std::vector<std::string>& lines);

// Writes the lines into folder/name and tells the user how it went: "設定を記録しました。",
// CR, "ファイル: " and the name; or "ファイルを作成できません" when the folder is unknown or the
// file could not be written completely, in which case no part of it is left. True on success.
bool write(ui::Window& window, platform::Platform& platform,
           const std::optional<std::string>& folder, const std::string& name,
           const std::vector<std::string>& lines);

}  // namespace record
