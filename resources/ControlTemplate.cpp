#include "resources/ControlTemplate.h"

#include <array>

namespace res::control_params {

namespace {

using namespace style;
using K = ControlClass;

constexpr std::uint32_t kLabel = ssLeft | ssSunken;
constexpr std::uint32_t kValue = ssCenter | ssSunken;
// No "no thousands" style: the displays show 1000 as 1,000.
constexpr std::uint32_t kSpin = udsArrowKeys | udsAutoBuddy | udsSetBuddyInt;
constexpr std::uint32_t kRadio = bsAutoRadioButton;
constexpr std::uint32_t kFirstRadio = bsAutoRadioButton | group | tabStop;

// Each value display stands right before its up-down control, which takes it as its buddy.
// At 650 x 464 pixels the window ends just below the buttons 1000, 1001 and 1002; the
// supply-voltage group, OK and Cancel lie below the visible area.
constexpr std::array kControls{
    Control{kNoId, K::staticText, "内部パワー", 6, 12, 60, 10, kLabel},
    Control{kNoId, K::staticText, "COM_TR1", 71, 12, 35, 10, kValue},
    Control{1065, K::upDown, "", 106, 8, 10, 18, kSpin},
    Control{kNoId, K::staticText, "ソフトスタート", 7, 54, 60, 10, kLabel},
    Control{kNoId, K::staticText, "COM_TR2", 72, 54, 35, 10, kValue},
    Control{1066, K::upDown, "", 107, 50, 10, 18, kSpin},
    Control{kNoId, K::staticText, "ヒータ断線警報", 7, 93, 60, 10, kLabel},
    Control{kNoId, K::staticText, "COM_TR3", 72, 93, 35, 10, kValue},
    Control{1067, K::upDown, "", 107, 89, 10, 18, kSpin},
    Control{kNoId, K::staticText, "オートパワー", 7, 129, 60, 10, kLabel},
    Control{kNoId, K::staticText, "COM_TR4", 72, 129, 35, 10, kValue},
    Control{1068, K::upDown, "", 107, 125, 10, 18, kSpin},
    Control{kNoId, K::staticText, "起動時制限レベル", 7, 169, 60, 10, kLabel},
    Control{kNoId, K::staticText, "COM_TR5", 72, 169, 35, 10, kValue},
    Control{1069, K::upDown, "", 107, 165, 10, 18, kSpin},
    Control{kNoId, K::staticText, "起動時制限時間", 7, 208, 60, 10, kLabel},
    Control{kNoId, K::staticText, "COM_TR6", 72, 208, 35, 10, kValue},
    Control{1070, K::upDown, "", 107, 204, 10, 18, kSpin},
    Control{kNoId, K::staticText, "制御信号入力", 128, 10, 60, 10, kLabel},
    Control{kNoId, K::staticText, "COM_CTRL", 193, 10, 35, 10, kValue},
    Control{1071, K::upDown, "", 228, 6, 10, 18, kSpin},
    Control{kNoId, K::staticText, "VR1入力", 129, 47, 60, 10, kLabel},
    Control{kNoId, K::staticText, "COM_VR1", 194, 47, 35, 10, kValue},
    Control{1072, K::upDown, "", 229, 43, 10, 18, kSpin},
    Control{kNoId, K::staticText, "VR2入力", 129, 81, 60, 10, kLabel},
    Control{kNoId, K::staticText, "COM_VR2", 194, 81, 35, 10, kValue},
    Control{1073, K::upDown, "", 229, 77, 10, 18, kSpin},
    Control{kNoId, K::staticText, "DI1入力", 129, 119, 60, 10, kLabel},
    Control{kNoId, K::staticText, "COM_DI1", 194, 119, 35, 10, kValue},
    Control{1074, K::upDown, "", 229, 115, 10, 18, kSpin},
    Control{kNoId, K::staticText, "DI2入力", 129, 146, 60, 10, kLabel},
    Control{kNoId, K::staticText, "COM_DI2", 194, 146, 35, 10, kValue},
    Control{1075, K::upDown, "", 229, 142, 10, 18, kSpin},
    Control{kNoId, K::staticText, "VR3入力", 130, 171, 60, 10, kLabel},
    Control{kNoId, K::staticText, "COM_VR3", 195, 171, 35, 10, kValue},
    Control{1076, K::upDown, "", 229, 167, 10, 18, kSpin},
    Control{kNoId, K::staticText, "オートパワー入力", 130, 206, 60, 10, kLabel},
    Control{kNoId, K::staticText, "COM_AP", 195, 206, 35, 10, kValue},
    Control{1077, K::upDown, "", 229, 202, 10, 18, kSpin},
    Control{kNoId, K::staticText, "アラーム出力", 251, 10, 60, 10, kLabel},
    Control{kNoId, K::staticText, "COM_ALM", 315, 10, 35, 10, kValue},
    Control{1078, K::upDown, "", 351, 6, 10, 18, kSpin},
    Control{kNoId, K::staticText, "HBアラーム出力", 251, 36, 60, 10, kLabel},
    Control{kNoId, K::staticText, "COM_HBALM", 315, 36, 35, 10, kValue},
    Control{1079, K::upDown, "", 351, 32, 10, 18, kSpin},
    Control{kNoId, K::staticText, "出力停止", 252, 141, 60, 10, kLabel},
    Control{kNoId, K::staticText, "COM_STOP", 316, 141, 35, 10, kValue},
    Control{1080, K::upDown, "", 351, 137, 10, 18, kSpin},
    Control{kNoId, K::staticText, "メモリモード", 252, 165, 60, 10, kLabel},
    Control{kNoId, K::staticText, "COM_MEM", 316, 165, 35, 10, kValue},
    Control{1081, K::upDown, "", 351, 161, 10, 18, kSpin},
    Control{kNoId, K::staticText, "ヒータ断線待機時間", 245, 190, 66, 10, kLabel},
    Control{kNoId, K::staticText, "COM_MEM", 316, 190, 35, 10, kValue},
    Control{1082, K::upDown, "", 351, 186, 10, 18, kSpin},
    Control{kNoId, K::staticText, "ヒータ断線出力継続", 246, 215, 66, 10, kLabel},
    Control{kNoId, K::staticText, "COM_MEM", 316, 215, 35, 10, kValue},
    Control{1111, K::upDown, "", 351, 211, 10, 18, kSpin},
    Control{kScaleLabel, K::staticText, "入力スケール下限", 246, 238, 66, 10, kLabel},
    Control{kScaleValue, K::staticText, "COM_MEM", 316, 238, 35, 10, kValue},
    Control{1112, K::upDown, "", 351, 234, 10, 18, kSpin},
    Control{1098, K::button, "+100", 13, 25, 34, 11, bsPushButton | tabStop},
    Control{1099, K::button, "-100", 53, 25, 34, 11, bsPushButton | tabStop},
    Control{1097, K::button, "+100", 13, 67, 34, 11, bsPushButton | tabStop},
    Control{1100, K::button, "-100", 53, 67, 34, 11, bsPushButton | tabStop},
    Control{1096, K::button, "+100", 13, 105, 34, 11, bsPushButton | tabStop},
    Control{1101, K::button, "-100", 54, 105, 34, 11, bsPushButton | tabStop},
    Control{1095, K::button, "+100", 13, 143, 34, 11, bsPushButton | tabStop},
    Control{1102, K::button, "-100", 54, 143, 34, 11, bsPushButton | tabStop},
    Control{1094, K::button, "+100", 15, 184, 34, 11, bsPushButton | tabStop},
    Control{1103, K::button, "-100", 55, 184, 34, 11, bsPushButton | tabStop},
    Control{1093, K::button, "+100", 16, 222, 34, 11, bsPushButton | tabStop},
    Control{1104, K::button, "-100", 56, 222, 34, 11, bsPushButton | tabStop},
    Control{1092, K::button, "+100", 139, 24, 34, 11, bsPushButton | tabStop},
    Control{1105, K::button, "-100", 180, 24, 34, 11, bsPushButton | tabStop},
    Control{1091, K::button, "+100", 140, 59, 34, 11, bsPushButton | tabStop},
    Control{1106, K::button, "-100", 181, 59, 34, 11, bsPushButton | tabStop},
    Control{1090, K::button, "+100", 140, 94, 34, 11, bsPushButton | tabStop},
    Control{1107, K::button, "-100", 181, 94, 34, 11, bsPushButton | tabStop},
    Control{1089, K::button, "+100", 142, 183, 34, 11, bsPushButton | tabStop},
    Control{1108, K::button, "-100", 183, 184, 34, 11, bsPushButton | tabStop},
    Control{1088, K::button, "+100", 141, 219, 34, 11, bsPushButton | tabStop},
    Control{1109, K::button, "-100", 183, 219, 34, 11, bsPushButton | tabStop},
    Control{kNoId, K::button, "電源電圧", 6, 319, 87, 55, bsGroupBox},
    Control{1050, K::button, "200V", 14, 335, 30, 8, kFirstRadio},
    Control{1051, K::button, "220V", 14, 347, 30, 8, kRadio},
    Control{1052, K::button, "240V", 14, 359, 30, 8, kRadio},
    Control{1053, K::button, "380V", 58, 335, 30, 8, kRadio},
    Control{1054, K::button, "400V", 59, 347, 30, 8, kRadio},
    Control{1057, K::button, "440V", 59, 359, 30, 8, kRadio},
    Control{kNoId, K::button, "制御方式", 250, 53, 101, 78, bsGroupBox},
    Control{kMethodVoltage, K::button, "電圧フィードバック", 256, 65, 87, 8, kFirstRadio},
    Control{1084, K::button, "電流フィードバック", 256, 77, 88, 8, kRadio},
    Control{1085, K::button, "電力フィードバック", 256, 89, 89, 8, kRadio},
    Control{1086, K::button, "電圧自乗フィードバック", 256, 101, 89, 8, kRadio},
    Control{kMethodNone, K::button, "フィードバックなし", 256, 113, 72, 8, kRadio},
    Control{kStatus, K::staticText, "m_msg1", 6, 244, 83, 10, ssLeft | ssSunken | group},
    Control{kProgress, K::progressBar, "", 98, 243, 139, 12, border},
    Control{kDefaults, K::button, "初期値に戻す", 195, 266, 51, 18, bsPushButton | tabStop},
    Control{kRecord, K::button, "設定を記録する", 251, 266, 52, 18, bsPushButton | tabStop},
    Control{kWrite, K::button, "QTR77に書込む", 309, 265, 52, 18, bsPushButton | tabStop},
    Control{kIdOk, K::button, "OK", 333, 342, 50, 16, bsDefPushButton | tabStop},
    Control{kIdCancel, K::button, "Cancel", 333, 362, 50, 16, bsPushButton | tabStop},
};

constexpr Dialog kDialog{kResourceId, "制御パラメータ編集", kDialogFont, 9, 383,
                         378,         kDialogStyle,         kControls};

}  // namespace

const Dialog& dialog() {
  return kDialog;
}

}  // namespace res::control_params
