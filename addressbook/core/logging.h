#pragma once

#include "common/logging.h"

// The address book's category for failures not shown to the user.
Q_DECLARE_LOGGING_CATEGORY(lcAddressBook)
