#include "note/printwindow.h"

#include "note/core/printlayout.h"
#include "common/twips.h"
#include "platform/screen.h"
#include "platform/services.h"

namespace promemo::note {

namespace {

using namespace std::chrono_literals;

const PrintWindowLayout kLayout{{187, 72}, {7, 11, 173, 25}, {16, 40, 145, 25}};
constexpr int kBelowNoteTwips = 2200;
constexpr int kAboveNoteTwips = 1300;
constexpr int kBottomMarginTwips = 500;
constexpr auto kCancelWait = 2000ms;

} // namespace

QPoint printWindowPosition(QPoint noteTopLeft, int screenBottom)
{
    const int noteTop = pixelsToTwips(noteTopLeft.y());
    const int below = noteTop + kBelowNoteTwips;
    const bool tooLow = below + pixelsToTwips(kLayout.window.height())
                        > pixelsToTwips(screenBottom) - kBottomMarginTwips;
    const int top = tooLow ? noteTop - kAboveNoteTwips : below;
    return {noteTopLeft.x(), twipsToPixels(top)};
}

PrintWindow::PrintWindow(const Services &services)
    : PrintJobWindow(services, QStringLiteral("Stampa del notino in corso..."),
                     QStringLiteral("&Annulla"), kLayout)
{
}

PrintWindow *printNote(QWidget &note, const QString &changeTime, const QString &text,
                       const Services &services)
{
    // Not a child of the note: a close request may delete the note during the wait.
    auto *window = new PrintWindow(services);
    const QRect screen = services.screen.geometry();
    window->move(printWindowPosition(note.pos(), screen.y() + screen.height()));
    window->start({kCancelWait, QString::fromLatin1(kPrintFontFamily), kPrintFontPoints,
                   QStringLiteral(" Promemo"), notePageLines(changeTime, text)},
                  &note);
    return window;
}

} // namespace promemo::note
