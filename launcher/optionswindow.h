#pragma once

#include <QWidget>

#include "launcher/launcheroptions.h"
#include "platform/services.h"

namespace promemo::launcher {

// frmOpzioni, "  Opzioni di Promemo": the five options and the start at log-on. Apply writes
// the settings, updates `options` and emits applied(); the launcher then recolours its icon.
// Shown on top without taking the focus; not modal; deleted on close.
class frmOpzioni : public QWidget
{
    Q_OBJECT
public:
    frmOpzioni(const Services &services, LauncherOptions &options, QWidget *parent = nullptr);

signals:
    void applied();
};

} // namespace promemo::launcher
