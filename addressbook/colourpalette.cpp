#include "addressbook/colourpalette.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>

#include "addressbook/colours.h"
#include "common/twips.h"
#include "platform/keystate.h"

namespace promemo::rubrica {

namespace {

// Palette swatches by colour code, places in twips (Label1, Label2, Label3, Label4, Label5,
// Label6).
constexpr std::array<QPoint, 6> kSwatchPlaces{{
    {60, 50}, {380, 50}, {60, 360}, {380, 360}, {720, 50}, {720, 360},
}};
constexpr int kSwatchSize = 255;   // twips
constexpr int kPaletteWidth = 1020; // twips
constexpr int kPaletteHeight = 660; // twips
constexpr QPoint kPalettePlace{3360, 720}; // twips from the window's client area

} // namespace

frmColore::frmColore(QWidget *window) : QWidget(window, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmColore"));
    setFixedSize(twipsToPixels(kPaletteWidth), twipsToPixels(kPaletteHeight));
    setFocusPolicy(Qt::StrongFocus);
    for (int code = 0; code < int(m_swatches.size()); ++code) {
        const auto colour = TextColour(code);
        auto *swatch = new QLabel(this);
        swatch->setObjectName(QStringLiteral("Label%1").arg(code + 1));
        swatch->setGeometry(swatchRect(colour));
        swatch->setAttribute(Qt::WA_TransparentForMouseEvents);
        paintSwatch(swatch, textQColor(colour));
        swatch->setFrameStyle(QFrame::NoFrame);
        m_swatches[code] = swatch;
    }
}

QRect frmColore::swatchRect(TextColour colour) const
{
    const int code = int(colour);
    if (code < 0 || code >= int(kSwatchPlaces.size()))
        return {};
    const QPoint place = kSwatchPlaces[code];
    return {twipsToPixels(place.x()), twipsToPixels(place.y()), twipsToPixels(kSwatchSize),
            twipsToPixels(kSwatchSize)};
}

void frmColore::open()
{
    const QWidget *window = parentWidget();
    const QPoint origin = window ? window->mapToGlobal(QPoint(0, 0)) : QPoint();
    move(origin + QPoint(twipsToPixels(kPalettePlace.x()), twipsToPixels(kPalettePlace.y())));
    show();
    raise();
    activateWindow();
    setFocus(Qt::PopupFocusReason);
}

void frmColore::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    for (int code = 0; code < int(m_swatches.size()); ++code) {
        if (!swatchRect(TextColour(code)).contains(event->position().toPoint()))
            continue;
        emit colourChosen(TextColour(code));
        // The window focuses the cell; the palette closes even where the desktop does not
        // take the activation away from it.
        close();
        return;
    }
}

void frmColore::keyPressEvent(QKeyEvent *event)
{
    event->accept();
    // A modifier held on its own types nothing.
    if (isModifierKey(event->key()))
        return;
    emit keyTyped();
    close();
}

void frmColore::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason)
        close();
}

void frmColore::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow())
        close();
}

void frmColore::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    qDrawWinPanel(&painter, rect(), palette(), false, &palette().brush(QPalette::Button));
    // A thin line around each swatch, outside its own colour.
    painter.setPen(QPen(palette().color(QPalette::Dark), 0));
    for (const QLabel *swatch : m_swatches)
        painter.drawRect(swatch->geometry().adjusted(-1, -1, 0, 0));
}

} // namespace promemo::rubrica
