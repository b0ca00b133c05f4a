#include "ui/win32/Win32Backend.h"

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "platform/Text.h"

namespace ui::win32 {

namespace {

namespace style = res::style;

static_assert(style::popup == WS_POPUP && style::child == WS_CHILD && style::group == WS_GROUP &&
              style::tabStop == WS_TABSTOP && style::disabled == WS_DISABLED &&
              style::caption == WS_CAPTION && style::sysMenu == WS_SYSMENU &&
              style::border == WS_BORDER && style::vscroll == WS_VSCROLL);
static_assert(style::dsSetFont == DS_SETFONT && style::dsModalFrame == DS_MODALFRAME);
static_assert(style::bsDefPushButton == BS_DEFPUSHBUTTON && style::bsGroupBox == BS_GROUPBOX &&
              style::bsAutoRadioButton == BS_AUTORADIOBUTTON);
static_assert(style::ssCenter == SS_CENTER && style::ssSunken == SS_SUNKEN);
static_assert(style::esCenter == ES_CENTER && style::esAutoHScroll == ES_AUTOHSCROLL);
static_assert(style::lbsNotify == LBS_NOTIFY && style::lbsNoIntegralHeight == LBS_NOINTEGRALHEIGHT);
static_assert(style::udsSetBuddyInt == UDS_SETBUDDYINT && style::udsAutoBuddy == UDS_AUTOBUDDY &&
              style::udsArrowKeys == UDS_ARROWKEYS && style::udsNoThousands == UDS_NOTHOUSANDS &&
              style::udsAlignRight == UDS_ALIGNRIGHT);
static_assert(res::kIdOk == IDOK && res::kIdCancel == IDCANCEL);

// The caption of every message box: the executable's file name without its extension.
std::wstring applicationName() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return L"";
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
  const std::size_t dot = name.find_last_of(L'.');
  return dot == std::wstring::npos ? name : name.substr(0, dot);
}

class Win32Window final : public Window {
 public:
  explicit Win32Window(Dialog& dialog) : dialog_(dialog) {}

  static INT_PTR CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  std::string text(int id) const override {
    HWND control = item(id);
    std::wstring buffer(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    const int n = ::GetWindowTextW(control, buffer.data(), static_cast<int>(buffer.size()));
    buffer.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    return platform::toUtf8(buffer);
  }
  void setText(int id, std::string_view text) override {
    ::SetDlgItemTextW(hwnd_, id, platform::toWide(text).c_str());
    // The status line must show while a long search or write blocks the message loop.
    ::UpdateWindow(item(id));
  }
  bool isEnabled(int id) const override { return ::IsWindowEnabled(item(id)) != FALSE; }
  void enable(int id, bool enabled) override { ::EnableWindow(item(id), enabled ? TRUE : FALSE); }
  bool isChecked(int id) const override { return ::IsDlgButtonChecked(hwnd_, id) == BST_CHECKED; }
  void setCheck(int id, bool checked) override {
    ::CheckDlgButton(hwnd_, id, checked ? BST_CHECKED : BST_UNCHECKED);
  }
  void setRange(int id, int lower, int upper) override {
    ::SendMessageW(item(id), UDM_SETRANGE32, static_cast<WPARAM>(lower), upper);
  }
  int position(int id) const override {
    return static_cast<int>(::SendMessageW(item(id), UDM_GETPOS32, 0, 0));
  }
  void setPosition(int id, int position) override {
    ::SendMessageW(item(id), UDM_SETPOS32, 0, position);
  }
  int addLine(int id, std::string_view text) override {
    return static_cast<int>(::SendMessageW(
        item(id), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(platform::toWide(text).c_str())));
  }
  int lineCount(int id) const override {
    return static_cast<int>(::SendMessageW(item(id), LB_GETCOUNT, 0, 0));
  }
  std::string lineText(int id, int index) const override {
    const LRESULT length = ::SendMessageW(item(id), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) return {};
    std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
    ::SendMessageW(item(id), LB_GETTEXT, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(static_cast<std::size_t>(length));
    return platform::toUtf8(buffer);
  }
  void deleteLine(int id, int index) override {
    ::SendMessageW(item(id), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
  }
  void setProgressRange(int id, int lower, int upper) override {
    ::SendMessageW(item(id), PBM_SETRANGE32, static_cast<WPARAM>(lower), upper);
  }
  void setProgress(int id, int position) override {
    ::SendMessageW(item(id), PBM_SETPOS, static_cast<WPARAM>(position), 0);
  }
  int messageBox(std::string_view text, Buttons buttons) override {
    static const std::wstring caption = applicationName();
    return ::MessageBoxW(hwnd_, platform::toWide(text).c_str(), caption.c_str(),
                         buttons == Buttons::ok ? MB_OK : MB_OKCANCEL);
  }
  void setTimer(int id, int periodMs) override {
    ::SetTimer(hwnd_, static_cast<UINT_PTR>(id), static_cast<UINT>(periodMs), nullptr);
  }
  void killTimer(int id) override { ::KillTimer(hwnd_, static_cast<UINT_PTR>(id)); }
  void moveWindow(int x, int y, int width, int height) override {
    ::MoveWindow(hwnd_, x, y, width, height, TRUE);
  }
  void setTitle(std::string_view title) override {
    ::SetWindowTextW(hwnd_, platform::toWide(title).c_str());
  }
  void end(int result) override { ::EndDialog(hwnd_, result); }

  HWND hwnd() const { return hwnd_; }

 private:
  HWND item(int id) const { return ::GetDlgItem(hwnd_, id); }

  Dialog& dialog_;
  HWND hwnd_ = nullptr;
};

INT_PTR CALLBACK Win32Window::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    // The window object arrives as the creation parameter; keep it with the window.
    auto* self = reinterpret_cast<Win32Window*>(lParam);
    ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    self->hwnd_ = hwnd;
    return self->dialog_.handleInitDialog(*self) ? TRUE : FALSE;
  }
  auto* self = reinterpret_cast<Win32Window*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
  if (self == nullptr) return FALSE;
  switch (message) {
    case WM_COMMAND:
      // Clicks, and Enter and Esc, which the dialog manager turns into clicks of the default
      // button and of Cancel. Other notifications (edit changes, list selection) are not used.
      if (HIWORD(wParam) == BN_CLICKED) {
        self->dialog_.handleCommand(LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
    case WM_TIMER:
      self->dialog_.handleTimer(static_cast<int>(wParam));
      return TRUE;
    default:
      return FALSE;
  }
}

void append(std::vector<unsigned short>& out, std::wstring_view text) {
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
}

void appendDword(std::vector<unsigned short>& out, std::uint32_t value) {
  out.push_back(static_cast<unsigned short>(value & 0xFFFF));
  out.push_back(static_cast<unsigned short>(value >> 16));
}

void alignDword(std::vector<unsigned short>& out) {
  if (out.size() % 2 != 0) out.push_back(0);
}

}  // namespace

std::vector<unsigned short> buildTemplate(const res::Dialog& resource) {
  std::vector<unsigned short> t;
  t.push_back(1);       // dlgVer
  t.push_back(0xFFFF);  // signature: extended template
  appendDword(t, 0);    // helpID
  appendDword(t, 0);    // exStyle
  appendDword(t, resource.style);
  t.push_back(static_cast<unsigned short>(resource.controls.size()));
  t.push_back(0);  // x, y: the dialog places itself
  t.push_back(0);
  t.push_back(static_cast<unsigned short>(resource.width));
  t.push_back(static_cast<unsigned short>(resource.height));
  t.push_back(0);  // no menu
  t.push_back(0);  // the standard dialog class
  append(t, platform::toWide(resource.caption));
  t.push_back(static_cast<unsigned short>(resource.pointSize));
  t.push_back(FW_NORMAL);
  t.push_back(static_cast<unsigned short>(SHIFTJIS_CHARSET << 8));  // italic 0, charset
  append(t, platform::toWide(resource.font));

  for (const res::Control& c : resource.controls) {
    alignDword(t);
    appendDword(t, 0);  // helpID
    appendDword(t, c.exStyle);
    appendDword(t, c.style | WS_CHILD | WS_VISIBLE);
    t.push_back(static_cast<unsigned short>(c.x));
    t.push_back(static_cast<unsigned short>(c.y));
    t.push_back(static_cast<unsigned short>(c.width));
    t.push_back(static_cast<unsigned short>(c.height));
    appendDword(t, static_cast<std::uint32_t>(c.id));
    switch (c.kind) {
      case res::ControlClass::button:
        t.push_back(0xFFFF);
        t.push_back(0x0080);
        break;
      case res::ControlClass::edit:
        t.push_back(0xFFFF);
        t.push_back(0x0081);
        break;
      case res::ControlClass::staticText:
        t.push_back(0xFFFF);
        t.push_back(0x0082);
        break;
      case res::ControlClass::listBox:
        t.push_back(0xFFFF);
        t.push_back(0x0083);
        break;
      case res::ControlClass::upDown:
        append(t, UPDOWN_CLASSW);
        break;
      case res::ControlClass::progressBar:
        append(t, PROGRESS_CLASSW);
        break;
    }
    append(t, platform::toWide(c.text));
    t.push_back(0);  // no creation data
  }
  return t;
}

int Win32Backend::runModal(Dialog& dialog, const res::Dialog& resource) {
  const std::vector<unsigned short> bytes = buildTemplate(resource);
  Win32Window window(dialog);
  // An editor opened from a handler of another dialog is owned by that dialog, which is the
  // thread's active window at that moment; the main window has no owner.
  HWND owner = ::GetActiveWindow();
  const INT_PTR result = ::DialogBoxIndirectParamW(
      ::GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()), owner,
      &Win32Window::proc, reinterpret_cast<LPARAM>(&window));
  dialog.handleEnd();
  return static_cast<int>(result);
}

}  // namespace ui::win32
