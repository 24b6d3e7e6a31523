#pragma once

#include <QWidget>

#include "platform/services.h"

namespace promemo::launcher {

// frmCounter, "  Elenco Notino": today's and later put-away notes, recurrences due and the
// notes just deleted as past. Building the window fills it, deletes the past notes and shows
// it on top without taking the focus. Deleted on close.
class frmCounter : public QWidget
{
    Q_OBJECT
public:
    explicit frmCounter(const Services &services, QWidget *parent = nullptr);
    // (the helper adds what its tests need)
};

} // namespace promemo::launcher
