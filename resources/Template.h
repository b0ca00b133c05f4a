#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// Dialog templates as data: one description serves the Win32 backend, which builds a
// DLGTEMPLATEEX from it, and the headless backend, which builds its in-memory controls from it.
namespace res {

// Window and control style bits, with the values Windows gives them, so that the Win32 backend
// passes them through and the headless backend reads the same bits.
namespace style {
inline constexpr std::uint32_t popup = 0x80000000;
inline constexpr std::uint32_t child = 0x40000000;
inline constexpr std::uint32_t visible = 0x10000000;
inline constexpr std::uint32_t disabled = 0x08000000;
inline constexpr std::uint32_t caption = 0x00C00000;
inline constexpr std::uint32_t border = 0x00800000;
inline constexpr std::uint32_t vscroll = 0x00200000;
inline constexpr std::uint32_t sysMenu = 0x00080000;
inline constexpr std::uint32_t group = 0x00020000;
inline constexpr std::uint32_t tabStop = 0x00010000;

inline constexpr std::uint32_t dsSetFont = 0x40;
inline constexpr std::uint32_t dsModalFrame = 0x80;

inline constexpr std::uint32_t bsPushButton = 0x0;
inline constexpr std::uint32_t bsDefPushButton = 0x1;
inline constexpr std::uint32_t bsGroupBox = 0x7;
inline constexpr std::uint32_t bsAutoRadioButton = 0x9;
inline constexpr std::uint32_t bsTypeMask = 0xF;

inline constexpr std::uint32_t ssLeft = 0x0;
inline constexpr std::uint32_t ssCenter = 0x1;
inline constexpr std::uint32_t ssSunken = 0x1000;

inline constexpr std::uint32_t esCenter = 0x1;
inline constexpr std::uint32_t esAutoHScroll = 0x80;

inline constexpr std::uint32_t lbsNotify = 0x1;
inline constexpr std::uint32_t lbsNoIntegralHeight = 0x100;

inline constexpr std::uint32_t udsSetBuddyInt = 0x2;
inline constexpr std::uint32_t udsAlignRight = 0x4;
inline constexpr std::uint32_t udsAutoBuddy = 0x10;
inline constexpr std::uint32_t udsArrowKeys = 0x20;
inline constexpr std::uint32_t udsNoThousands = 0x80;

inline constexpr std::uint32_t wsExStaticEdge = 0x00020000;
inline constexpr std::uint32_t wsExClientEdge = 0x00000200;
}  // namespace style

enum class ControlClass { button, staticText, edit, listBox, upDown, progressBar };

inline constexpr int kNoId = -1;

struct Control {
  int id;  // kNoId for labels and group boxes
  ControlClass kind;
  std::string_view text;    // UTF-8
  int x, y, width, height;  // dialog units
  std::uint32_t style;      // without child and visible, which every control gets
  std::uint32_t exStyle = 0;
};

struct Dialog {
  int resourceId;
  std::string_view caption;  // UTF-8
  std::string_view font;
  int pointSize;
  int width, height;  // dialog units
  std::uint32_t style;
  std::span<const Control> controls;  // template order, which is also the tab order
};

// Ids the platform gives the OK and Cancel commands.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

inline constexpr std::string_view kDialogFont = "ＭＳ Ｐゴシック";
inline constexpr std::uint32_t kDialogStyle =
    style::popup | style::caption | style::sysMenu | style::dsModalFrame | style::dsSetFont;

}  // namespace res
