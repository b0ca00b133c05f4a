#include "ui/Dialog.h"

namespace ui {

int Dialog::doModal() {
  return backend_.runModal(*this, resource_);
}

bool Dialog::handleInitDialog(Window& window) {
  window_ = &window;
  return onInitDialog();
}

void Dialog::onCommand(int id) {
  if (id == res::kIdOk || id == res::kIdCancel) endDialog(id);
}

Placement centred(int screenWidth, int screenHeight, int width, int height) {
  return {(screenWidth - width) / 2, (screenHeight - height) / 2, width, height};
}

}  // namespace ui
