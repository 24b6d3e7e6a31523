#pragma once

#include <QPoint>
#include <QWidget>

#include "platform/printjob.h"

namespace promemo::note {

class PrintWindow;

// F3: shows frmStampa beside the note for two seconds, then prints the note's page on the
// default printer unless "&Annulla" was pressed meanwhile. A printer error is reported in a
// message box; the note itself never changes. `changeTime` is the time of the note's last
// change as the note shows it (dd/mm/yyyy hh.mm). Returns the window running the job, which
// deletes itself once it has finished.
PrintWindow *printNote(QWidget &note, const QString &changeTime, const QString &text,
                       const Services &services);

// The top-left corner of frmStampa, in pixels: below the note, or above it when it would
// come too near the screen's bottom.
QPoint printWindowPosition(QPoint noteTopLeft, int screenBottom);

// The note's frmStampa: "Stampa del notino in corso..." with "&Annulla".
class PrintWindow final : public PrintJobWindow
{
    Q_OBJECT

public:
    explicit PrintWindow(const Services &services);
};

} // namespace promemo::note
