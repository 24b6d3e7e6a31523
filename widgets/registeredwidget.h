#pragma once

#include <memory>

#include "platform/windowregistry.h"

class QWidget;

namespace promemo {

// Restores `window` when minimised, shows it on top and gives it the focus.
void bringForward(QWidget &window);

// Registers `window` under its caption: a close request from another program closes it, a
// request to come forward brings it forward. Null when the registry refused the caption.
std::unique_ptr<RegisteredWindow> registerTopLevel(IWindowRegistry &windows, QWidget &window);

} // namespace promemo
