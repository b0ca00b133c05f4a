#pragma once

#include <vector>

#include "ui/Dialog.h"

namespace ui::win32 {

// Runs dialogs with DialogBoxIndirectParamW over templates built in memory. A dialog opened
// from another one is owned by it, so the owner is disabled while it runs.
class Win32Backend final : public Backend {
 public:
  int runModal(Dialog& dialog, const res::Dialog& resource) override;
};

// The DLGTEMPLATEEX for a template, as the bytes DialogBoxIndirectParamW takes.
std::vector<unsigned short> buildTemplate(const res::Dialog& resource);

}  // namespace ui::win32
