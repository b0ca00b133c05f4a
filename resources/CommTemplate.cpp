#include "resources/CommTemplate.h"

#include <array>

namespace res::comm_params {

namespace {

using namespace style;
using K = ControlClass;

constexpr std::uint32_t kRadio = bsAutoRadioButton;
constexpr std::uint32_t kFirstRadio = bsAutoRadioButton | group | tabStop;

// Tab order is template order. At 400 x 220 pixels the window shows the four groups and the
// write and defaults buttons; the status line, OK and Cancel lie below the visible area.
constexpr std::array kControls{
    Control{kAddressValue, K::staticText, "m_adrs", 15, 20, 36, 12, ssCenter | ssSunken | group},
    Control{kAddressSpin, K::upDown, "", 51, 19, 10, 14,
            udsArrowKeys | udsAutoBuddy | udsSetBuddyInt},
    Control{kSpeed9600, K::button, "9600 bps", 15, 60, 55, 10, kFirstRadio},
    Control{kSpeed19200, K::button, "19200 bps", 15, 74, 55, 10, kRadio},
    Control{kSpeed57600, K::button, "57600 bps", 15, 88, 55, 10, kRadio},
    Control{1027, K::button, "10 ms", 93, 20, 50, 10, kFirstRadio},
    Control{1028, K::button, "20 ms", 93, 34, 50, 10, kRadio},
    Control{1029, K::button, "40 ms", 93, 48, 50, 10, kRadio},
    Control{1030, K::button, "80 ms", 93, 62, 50, 10, kRadio},
    Control{1031, K::button, "120 ms", 93, 76, 50, 10, kRadio},
    Control{kDelay200, K::button, "200 ms", 93, 90, 50, 10, kRadio},
    Control{kParityNone, K::button, "NON", 171, 20, 50, 10, kFirstRadio},
    Control{kParityEven, K::button, "EVEN", 171, 34, 50, 10, kRadio},
    Control{kParityOdd, K::button, "ODD", 171, 48, 50, 10, kRadio},
    Control{kWrite, K::button, "QTR77に書込む", 163, 95, 70, 15, bsPushButton | tabStop},
    Control{kIdOk, K::button, "OK", 170, 290, 50, 14, bsDefPushButton | tabStop},
    Control{kIdCancel, K::button, "Cancel", 226, 290, 50, 14, bsPushButton | tabStop},
    Control{kNoId, K::button, "通信アドレス", 7, 7, 70, 35, bsGroupBox},
    Control{kNoId, K::button, "通信速度", 7, 48, 70, 56, bsGroupBox},
    Control{kNoId, K::button, "通信パリティ", 163, 7, 70, 56, bsGroupBox},
    Control{kNoId, K::button, "通信ディレイ", 85, 7, 70, 97, bsGroupBox},
    Control{kStatus, K::staticText, "m_msg1", 7, 170, 269, 12, ssLeft | ssSunken | group},
    Control{kDefaults, K::button, "初期値に戻す", 163, 76, 70, 15, bsPushButton | tabStop},
};

constexpr Dialog kDialog{kResourceId, "通信パラメータ編集", kDialogFont, 9, 283,
                         314,         kDialogStyle,         kControls};

}  // namespace

const Dialog& dialog() {
  return kDialog;
}

}  // namespace res::comm_params
