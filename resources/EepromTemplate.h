#pragma once

#include "resources/Template.h"

// Dialog 107, EEPROM maintenance.
namespace res::eeprom {

inline constexpr int kResourceId = 107;

inline constexpr int kRead = 1000;
inline constexpr int kUnusedWrite = 1001;  // "EEP write" at the bottom: no action
inline constexpr int kWrite = 1002;
inline constexpr int kList = 1111;
inline constexpr int kTestLines = 1113;  // "Button2"
inline constexpr int kClear = 1114;      // "Button3"
inline constexpr int kCount = 1115;      // "Button4"
inline constexpr int kRecord = 1117;
inline constexpr int kStatus = 1033;
inline constexpr int kCellValue = 1021;  // buddy of the cell up-down
inline constexpr int kCellSpin = 1062;
inline constexpr int kValue = 1118;

const Dialog& dialog();

}  // namespace res::eeprom
