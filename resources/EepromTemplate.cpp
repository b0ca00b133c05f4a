#include "resources/EepromTemplate.h"

#include <array>

namespace res::eeprom {

namespace {

using namespace style;
using K = ControlClass;

constexpr std::uint32_t kButton = bsPushButton | tabStop;
constexpr std::uint32_t kLabel = ssCenter | ssSunken;

// Template order is the tab order. At 480 x 380 pixels the status line sits at the window's
// lower edge; the bottom row of buttons lies below it, reachable with Tab.
constexpr std::array kControls{
    Control{kIdOk, K::button, "OK", 6, 297, 38, 13, bsDefPushButton | tabStop},
    Control{kIdCancel, K::button, "Cancel", 49, 299, 37, 12, kButton},
    Control{kRead, K::button, "EEP read", 183, 15, 48, 16, kButton},
    Control{kUnusedWrite, K::button, "EEP write", 5, 278, 39, 13, kButton},
    Control{kList, K::listBox, "", 5, 4, 142, 220,
            lbsNotify | lbsNoIntegralHeight | vscroll | border | tabStop},
    Control{kTestLines, K::button, "Button2", 50, 278, 36, 14, kButton},
    Control{kClear, K::button, "Button3", 91, 277, 35, 14, kButton},
    Control{kCount, K::button, "Button4", 131, 279, 34, 12, kButton},
    Control{kStatus, K::staticText, "msg1", 5, 229, 243, 11, ssLeft | ssSunken},
    Control{kRecord, K::button, "記録", 185, 47, 47, 15, kButton},
    Control{kNoId, K::button, "EEP write", 174, 88, 69, 121, bsGroupBox},
    Control{kNoId, K::staticText, "Address", 181, 102, 38, 9, kLabel},
    Control{kNoId, K::staticText, "Value", 182, 141, 36, 9, kLabel},
    Control{kCellValue, K::staticText, "m_adrs", 181, 118, 41, 9, kLabel},
    Control{kCellSpin, K::upDown, "", 224, 114, 10, 21,
            udsArrowKeys | udsAutoBuddy | udsSetBuddyInt},
    Control{kValue, K::edit, "", 183, 156, 37, 12, esCenter | esAutoHScroll | border | tabStop},
    Control{kWrite, K::button, "EEP write", 185, 182, 48, 16, kButton},
};

constexpr Dialog kDialog{kResourceId, "EEPROM", kDialogFont, 9, 259, 316, kDialogStyle, kControls};

}  // namespace

const Dialog& dialog() {
  return kDialog;
}

}  // namespace res::eeprom
