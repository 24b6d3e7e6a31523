#pragma once

#include "common/logging.h"

// The calendar's category for failures not shown to the user.
Q_DECLARE_LOGGING_CATEGORY(lcCalendar)
