#include "common/logging.h"

Q_LOGGING_CATEGORY(lcFiles, "promemo.files")
