#pragma once

#include "resources/Template.h"

// Dialog 103, the main window.
namespace res::search {

inline constexpr int kResourceId = 103;

inline constexpr int kStart = 1;  // the dialog's OK command; the window stays open
inline constexpr int kCancel = 2;
inline constexpr int kEditComm = 1058;
inline constexpr int kEditControl = 1063;
inline constexpr int kEeprom = 1064;
inline constexpr int kMsg1 = 1033;
inline constexpr int kMsg2 = 1034;
inline constexpr int kRangeCom1 = 1059;
inline constexpr int kRangeCom10 = 1060;
inline constexpr int kRangeCom20 = 1061;
inline constexpr int kRangeCom30 = 1062;
inline constexpr int kTimeout200 = 1032;
inline constexpr int kTimeout300 = 1035;
inline constexpr int kTimeout400 = 1036;
inline constexpr int kTimeout500 = 1037;

const Dialog& dialog();

}  // namespace res::search
