// qtr77-driver.exe SCENARIO OUTDIR: plays one scenario against the running QTR77Config.exe,
// the way a technician would use it, through the windows' own messages: it finds windows by
// title, clicks controls by id, reads their texts and states, answers message boxes and saves
// screenshots. Every wait is bounded; the first check that fails ends the run with exit code 1
// and a line that says what it waited for.
//
// Scenario lines (UTF-8; "#" starts a comment; arguments with blanks in double quotes, where
// \r stands for a carriage return):
//   timeout SECONDS            limit of every following wait (default 20)
//   window "TITLE"             wait for a top-level window with this title; it becomes current
//   title "TEXT"               the current window's title
//   click ID                   click control ID of the current window
//   enter | escape | close     the Enter key (default button), Esc, the close box
//   spin ID N                  set an up-down control's position
//   type ID "TEXT"             set an edit field's text
//   text ID "TEXT"             wait until control ID shows TEXT
//   enabled ID 0|1             wait until control ID is disabled or enabled
//   checked ID 0|1             wait until a button is unchecked or checked
//   box "TEXT"                 wait for the program's message box with exactly this text
//   box-prefix "TEXT"          the same, for a text that starts with TEXT
//   ok | cancel                press OK or Cancel on that message box
//   shot NAME                  save the screen as OUTDIR/NAME.bmp
//   gone                       wait until the current window has closed
//   sleep MS

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Text.h"

namespace {

const wchar_t* kBoxTitle = L"QTR77Config";
constexpr int kBoxTextId = 0xFFFF;

struct Failure {
  std::string what;
};

std::vector<std::string> split(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false;
  bool any = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"') {
        quoted = false;
      } else if (c == '\\' && i + 1 < line.size() && line[i + 1] == 'r') {
        word += '\r';
        ++i;
      } else {
        word += c;
      }
    } else if (c == '"') {
      quoted = true;
      any = true;
    } else if (c == ' ' || c == '\t') {
      if (any || !word.empty()) words.push_back(word);
      word.clear();
      any = false;
    } else if (c == '#' && word.empty() && !any) {
      break;
    } else {
      word += c;
    }
  }
  if (any || !word.empty()) words.push_back(word);
  return words;
}

std::wstring windowText(HWND hwnd) {
  wchar_t buffer[4096] = {};
  DWORD_PTR length = 0;
  // Never hang on a busy program: it answers text requests only between its own work.
  if (!::SendMessageTimeoutW(hwnd, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer),
                             SMTO_ABORTIFHUNG, 2000, &length))
    return L"<no answer>";
  return buffer;
}

std::string show(const std::wstring& text) {
  std::string utf8 = platform::toUtf8(text);
  std::string out;
  for (char c : utf8) out += c == '\r' ? std::string("\\r") : std::string(1, c);
  return out;
}

class Driver {
 public:
  explicit Driver(std::string outDir) : outDir_(std::move(outDir)) {}

  void run(const std::vector<std::string>& w) {
    const std::string& verb = w[0];
    auto arg = [&](std::size_t i) -> const std::string& {
      if (i >= w.size()) throw Failure{verb + ": missing argument"};
      return w[i];
    };
    auto id = [&](std::size_t i) { return std::stoi(arg(i)); };
    if (verb == "timeout") {
      timeoutMs_ = std::stoi(arg(1)) * 1000;
    } else if (verb == "window") {
      const std::wstring title = platform::toWide(arg(1));
      waitFor("a window titled \"" + arg(1) + "\"", [&] {
        current_ = ::FindWindowW(nullptr, title.c_str());
        return current_ != nullptr && ::IsWindowVisible(current_);
      });
    } else if (verb == "title") {
      const std::wstring want = platform::toWide(arg(1));
      waitFor(
          "the title \"" + arg(1) + "\"", [&] { return windowText(window()) == want; },
          [&] { return "it is \"" + show(windowText(window())) + "\""; });
    } else if (verb == "click") {
      ::PostMessageW(control(id(1)), BM_CLICK, 0, 0);
    } else if (verb == "enter") {
      const LRESULT def = ::SendMessageW(window(), DM_GETDEFID, 0, 0);
      const int defId = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK;
      ::PostMessageW(window(), WM_COMMAND, MAKEWPARAM(defId, BN_CLICKED),
                     reinterpret_cast<LPARAM>(::GetDlgItem(window(), defId)));
    } else if (verb == "escape") {
      ::PostMessageW(window(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(::GetDlgItem(window(), IDCANCEL)));
    } else if (verb == "close") {
      ::PostMessageW(window(), WM_CLOSE, 0, 0);
    } else if (verb == "spin") {
      ::SendMessageW(control(id(1)), 0x0400 + 113 /* UDM_SETPOS32 */, 0, std::stoi(arg(2)));
    } else if (verb == "type") {
      ::SendMessageW(control(id(1)), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(platform::toWide(arg(2)).c_str()));
    } else if (verb == "text") {
      const std::wstring want = platform::toWide(arg(2));
      HWND c = control(id(1));
      waitFor(
          "control " + arg(1) + " to show \"" + arg(2) + "\"",
          [&] { return windowText(c) == want; },
          [&] { return "it shows \"" + show(windowText(c)) + "\""; });
    } else if (verb == "enabled") {
      HWND c = control(id(1));
      const bool want = arg(2) == "1";
      waitFor("control " + arg(1) + (want ? " enabled" : " disabled"),
              [&] { return (::IsWindowEnabled(c) != FALSE) == want; });
    } else if (verb == "checked") {
      HWND c = control(id(1));
      const bool want = arg(2) == "1";
      waitFor("button " + arg(1) + (want ? " checked" : " unchecked"), [&] {
        DWORD_PTR state = 0;
        ::SendMessageTimeoutW(c, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state);
        return (state == BST_CHECKED) == want;
      });
    } else if (verb == "box" || verb == "box-prefix") {
      const std::wstring want = platform::toWide(arg(1));
      const bool prefix = verb == "box-prefix";
      std::wstring seen;
      waitFor(
          "a message box \"" + arg(1) + "\"",
          [&] {
            box_ = findBox();
            if (box_ == nullptr) return false;
            seen = windowText(::GetDlgItem(box_, kBoxTextId));
            return prefix ? seen.rfind(want, 0) == 0 : seen == want;
          },
          [&] { return box_ ? "the box says \"" + show(seen) + "\"" : "no box is shown"; });
      std::printf("  box: %s\n", show(seen).c_str());
    } else if (verb == "ok" || verb == "cancel") {
      if (box_ == nullptr) throw Failure{verb + ": no message box is current"};
      const int button = verb == "ok" ? IDOK : IDCANCEL;
      ::PostMessageW(box_, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(::GetDlgItem(box_, button)));
      HWND closing = box_;
      box_ = nullptr;
      waitFor("the message box to close", [&] { return !::IsWindow(closing); });
    } else if (verb == "shot") {
      screenshot(outDir_ + "\\" + arg(1) + ".bmp");
    } else if (verb == "gone") {
      HWND w0 = window();
      waitFor("the window to close", [&] { return !::IsWindow(w0); });
      current_ = nullptr;
    } else if (verb == "sleep") {
      ::Sleep(static_cast<DWORD>(std::stoi(arg(1))));
    } else {
      throw Failure{"unknown command " + verb};
    }
  }

 private:
  HWND window() const {
    if (current_ == nullptr || !::IsWindow(current_)) throw Failure{"no current window"};
    return current_;
  }
  HWND control(int id) const {
    HWND c = ::GetDlgItem(window(), id);
    if (c == nullptr) throw Failure{"the current window has no control " + std::to_string(id)};
    return c;
  }

  static HWND findBox() {
    HWND found = nullptr;
    ::EnumWindows(
        [](HWND hwnd, LPARAM out) -> BOOL {
          wchar_t cls[64] = {};
          ::GetClassNameW(hwnd, cls, 64);
          if (std::wstring(cls) == L"#32770" && ::IsWindowVisible(hwnd) &&
              windowText(hwnd) == kBoxTitle && ::GetDlgItem(hwnd, kBoxTextId) != nullptr) {
            *reinterpret_cast<HWND*>(out) = hwnd;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
  }

  void waitFor(const std::string& what, const std::function<bool()>& done,
               const std::function<std::string()>& state = {}) {
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(timeoutMs_);
    while (!done()) {
      if (::GetTickCount64() > end) {
        throw Failure{"gave up after " + std::to_string(timeoutMs_ / 1000) + " s waiting for " +
                      what + (state ? "; " + state() : std::string())};
      }
      ::Sleep(50);
    }
  }

  static void screenshot(const std::string& path) {
    HDC screen = ::GetDC(nullptr);
    const int width = ::GetDeviceCaps(screen, HORZRES);
    const int height = ::GetDeviceCaps(screen, VERTRES);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    ::SelectObject(memory, old);
    const DWORD stride = static_cast<DWORD>((width * 3 + 3) & ~3);
    const DWORD size = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + size;
    std::ofstream out(std::filesystem::path(platform::toWide(path)), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), size);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    if (!out) throw Failure{"cannot write " + path};
  }

  std::string outDir_;
  int timeoutMs_ = 20000;
  HWND current_ = nullptr;
  HWND box_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: qtr77-driver SCENARIO OUTDIR\n");
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::fprintf(stderr, "qtr77-driver: cannot read %s\n", argv[1]);
    return 2;
  }
  Driver driver(argv[2]);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::vector<std::string> words = split(line);
    if (words.empty()) continue;
    std::printf("%3d %s\n", number, line.c_str());
    std::fflush(stdout);
    try {
      driver.run(words);
    } catch (const Failure& failure) {
      std::printf("FAIL line %d: %s\n", number, failure.what.c_str());
      return 1;
    } catch (const std::exception& error) {
      std::printf("FAIL line %d: bad argument (%s)\n", number, error.what());
      return 1;
    }
  }
  std::printf("scenario passed\n");
  return 0;
}
