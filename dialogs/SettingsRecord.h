#pragma once

#include <string>
#include <vector>

#include "app/DeviceState.h"
#include "platform/Platform.h"

// The 35 lines of the settings record: the unit's product data (the g_SPC registers), its
// communication parameters and its control parameters, from what DeviceState holds.
std::vector<std::string> settingsRecordLines(const DeviceState& state,
                                             const platform::LocalTime& stamp);
