#include "platform/logging.h"

Q_LOGGING_CATEGORY(lcRegistry, "promemo.registry")
Q_LOGGING_CATEGORY(lcDesktop, "promemo.desktop")
