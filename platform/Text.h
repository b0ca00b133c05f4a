#pragma once

#include <string>
#include <string_view>

namespace platform {

// The program's strings are UTF-8; Windows wants UTF-16 at its API.
std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view wide);

}  // namespace platform
