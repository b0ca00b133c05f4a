#pragma once

#include "resources/Template.h"

// Dialog 104, the communication parameter editor.
namespace res::comm_params {

inline constexpr int kResourceId = 104;

inline constexpr int kAddressValue = 1021;  // buddy of the address up-down
inline constexpr int kAddressSpin = 1062;
inline constexpr int kSpeed9600 = 1022;
inline constexpr int kSpeed19200 = 1023;
inline constexpr int kSpeed57600 = 1034;  // always disabled
inline constexpr int kDelay10 = 1027;     // 1027..1032: 10, 20, 40, 80, 120, 200 ms
inline constexpr int kDelay200 = 1032;
inline constexpr int kParityNone = 1024;  // 1024..1026: NON, EVEN, ODD
inline constexpr int kParityEven = 1025;
inline constexpr int kParityOdd = 1026;
inline constexpr int kWrite = 1000;
inline constexpr int kDefaults = 1001;
inline constexpr int kStatus = 1033;

const Dialog& dialog();

}  // namespace res::comm_params
