#include "platform/Win32Platform.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <string>

#include "platform/Text.h"

namespace platform {

LocalTime Win32Platform::localTime() {
  SYSTEMTIME t{};
  ::GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

ScreenSize Win32Platform::screenSize() {
  return {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

std::optional<std::string> Win32Platform::documentsFolder() {
  // The known-folder call follows a redirected Documents folder.
  PWSTR path = nullptr;
  if (FAILED(::SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &path))) {
    ::CoTaskMemFree(path);
    return std::nullopt;
  }
  std::string folder = toUtf8(path);
  ::CoTaskMemFree(path);
  return folder;
}

std::optional<std::string> Win32Platform::executableFolder() {
  // Grow the buffer until the whole path fits: installation paths may be long.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return std::nullopt;
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  const std::size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return std::nullopt;
  return toUtf8(path.substr(0, slash));
}

}  // namespace platform
