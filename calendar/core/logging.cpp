#include "calendar/core/logging.h"

Q_LOGGING_CATEGORY(lcCalendar, "promemo.calendar")
