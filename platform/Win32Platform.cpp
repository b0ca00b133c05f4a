#include "platform/Win32Platform.h"

// <windows.h> comes first: the shell headers build on it.
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

bool Win32Platform::writeNewFile(const std::string& folder, const std::string& name,
                                 std::string_view bytes) {
  const std::wstring path = toWide(folder + "\\" + name);
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool wrote = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                                 nullptr) != FALSE &&
                     written == bytes.size();
  const bool closed = ::CloseHandle(file) != FALSE;
  if (wrote && closed) return true;
  // A half-written record would pass for the unit's settings: leave none.
  ::DeleteFileW(path.c_str());
  return false;
}

std::optional<std::string> toCp932(std::string_view utf8) {
  const std::wstring wide = toWide(utf8);
  if (wide.empty()) return std::string();
  BOOL lossy = FALSE;
  const int n = ::WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(),
                                      static_cast<int>(wide.size()), nullptr, 0, nullptr, &lossy);
  if (n <= 0 || lossy) return std::nullopt;
  std::string out(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                        out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace platform
