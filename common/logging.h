#pragma once

#include <QLoggingCategory>

// The suite's logging categories for failures not shown to the user, declared in one header per
// layer: "promemo.files" here, "promemo.registry" and "promemo.desktop" in platform/logging.h, and
// one per program in its core's logging.h ("promemo.note", "promemo.launcher", ...).
Q_DECLARE_LOGGING_CATEGORY(lcFiles)
