#include "resources/SearchTemplate.h"

#include <array>

namespace res::search {

namespace {

using namespace style;
using K = ControlClass;

constexpr std::uint32_t kRadio = bsAutoRadioButton;
constexpr std::uint32_t kSunken = ssLeft | ssSunken;

constexpr std::array kControls{
    Control{kRangeCom1, K::button, "COM1-COM9", 15, 43, 57, 8, kRadio | group | tabStop},
    Control{kRangeCom10, K::button, "COM10-COM19", 15, 57, 57, 8, kRadio},
    Control{kRangeCom20, K::button, "COM20-COM29", 15, 71, 57, 8, kRadio},
    Control{kRangeCom30, K::button, "COM30-COM39", 15, 85, 57, 8, kRadio},
    Control{kTimeout200, K::button, "200ms", 96, 42, 32, 8, kRadio | group | tabStop},
    Control{kTimeout300, K::button, "300ms", 96, 54, 32, 8, kRadio},
    Control{kTimeout400, K::button, "400ms", 96, 67, 32, 8, kRadio},
    Control{kTimeout500, K::button, "500ms", 96, 80, 32, 8, kRadio},
    Control{kStart, K::button, "検索開始", 158, 27, 50, 16, bsDefPushButton | group | tabStop},
    Control{kEditComm, K::button, "通信パラメータ編集", 152, 52, 69, 19, bsPushButton | tabStop},
    Control{kEditControl, K::button, "制御パラメータ編集", 152, 77, 69, 19, bsPushButton | tabStop},
    Control{kEeprom, K::button, "EEPROM", 152, 133, 69, 19, bsPushButton},
    Control{kCancel, K::button, "Cancel", 215, 197, 50, 16, bsPushButton},
    Control{kNoId, K::button, "検索ポート範囲", 8, 27, 75, 75, bsGroupBox},
    Control{kMsg1, K::staticText, "", 8, 8, 158, 10, kSunken | group},
    Control{kMsg2, K::staticText, "", 8, 161, 158, 10, kSunken},
    Control{kNoId, K::button, "タイムアウト", 89, 27, 52, 75, bsGroupBox},
};

constexpr Dialog kDialog{kResourceId, "QTR77 config", kDialogFont, 9, 275,
                         241,         kDialogStyle,   kControls};

}  // namespace

const Dialog& dialog() {
  return kDialog;
}

}  // namespace res::search
