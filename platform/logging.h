#pragma once

#include "common/logging.h"

// The window registry and single instance; the desktop's other services (processes, sound,
// clipboard, help).
Q_DECLARE_LOGGING_CATEGORY(lcRegistry)
Q_DECLARE_LOGGING_CATEGORY(lcDesktop)
