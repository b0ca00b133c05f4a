#pragma once

#include "resources/Template.h"

// Dialog 105, the control parameter editor.
namespace res::control_params {

inline constexpr int kResourceId = 105;

inline constexpr int kWrite = 1000;
inline constexpr int kDefaults = 1001;
inline constexpr int kRecord = 1002;
inline constexpr int kStatus = 1033;
inline constexpr int kProgress = 1110;
inline constexpr int kScaleLabel = 1119;
inline constexpr int kScaleValue = 1120;
inline constexpr int kScaleSpin = 1112;
inline constexpr int kMethodVoltage = 1083;  // 1083..1087: control method codes 0..4
inline constexpr int kMethodNone = 1087;

const Dialog& dialog();

}  // namespace res::control_params
