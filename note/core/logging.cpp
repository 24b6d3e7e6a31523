#include "note/core/logging.h"

Q_LOGGING_CATEGORY(lcNote, "promemo.note")
