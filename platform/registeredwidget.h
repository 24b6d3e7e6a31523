#pragma once

// Moved to widgets/; kept for the address book window until it includes the new place.
#include "widgets/registeredwidget.h"
