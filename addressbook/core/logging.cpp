#include "addressbook/core/logging.h"

Q_LOGGING_CATEGORY(lcAddressBook, "promemo.addressbook")
