#include "launcher/core/logging.h"

Q_LOGGING_CATEGORY(lcLauncher, "promemo.launcher")
