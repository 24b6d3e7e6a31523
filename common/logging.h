#pragma once

#include <QLoggingCategory>

// The suite's logging categories for failures not shown to the user, one per layer:
// "promemo.files" here, "promemo.registry" and "promemo.desktop" in platform/, and one per
// program ("promemo.note", "promemo.launcher").
Q_DECLARE_LOGGING_CATEGORY(lcFiles)
