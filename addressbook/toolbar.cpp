#include "addressbook/toolbar.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <QApplication>
#include <QCursor>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include "common/twips.h"
#include "platform/screen.h"

namespace promemo::rubrica {

namespace {

using namespace std::chrono_literals;

constexpr auto kTimer1Interval = 55ms;
constexpr int kBoxTop = 150;    // twips
constexpr int kBoxHeight = 360; // twips
constexpr int kImageTop = 40;   // twips, rest offset
constexpr int kHoverShift = 20; // twips up and left in hover look
constexpr int kIconImageSize = 16;
constexpr int kImageHeight = 16;
constexpr int kMaxImageWidth = 115;

struct ButtonPlace
{
    int left;  // twips
    int width; // twips
    int imageLeft; // twips, rest offset
};

constexpr std::array<ButtonPlace, kToolButtons> kPlaces{{
    {80, 360, 40}, {520, 360, 40}, {880, 360, 40}, {1240, 360, 40}, {1700, 360, 40},
    {2070, 360, 40}, {2520, 360, 40}, {2900, 360, 40}, {3360, 360, 40},
    {5320, 1900, 100}, {7340, 870, 100}, {8300, 660, 160}, {9060, 930, 220},
}};

bool isButton(int index)
{
    return index >= 0 && index < kToolButtons;
}

QColor hoverColour() { return {192, 192, 255}; }
QColor pressedColour() { return {128, 128, 255}; }
QColor borderColour() { return {0, 0, 128}; }

// --- the images ---------------------------------------------------------------------------

const QColor kInk(32, 32, 40);
const QColor kPaper(255, 255, 255);
const QColor kPaperEdge(96, 100, 120);
const QColor kTextLine(120, 140, 190);

QPen pen(const QColor &colour, qreal width = 1.0)
{
    QPen result(colour, width);
    result.setCapStyle(Qt::RoundCap);
    result.setJoinStyle(Qt::RoundJoin);
    return result;
}

void sheet(QPainter &p, const QRectF &r)
{
    p.setPen(pen(kPaperEdge));
    p.setBrush(kPaper);
    p.drawRect(r);
    p.setPen(pen(kTextLine));
    for (qreal y = r.top() + 2.5; y < r.bottom() - 1; y += 2)
        p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
}

void drawSave(QPainter &p)
{
    QPainterPath body;
    body.moveTo(1.5, 2.5);
    body.quadTo(1.5, 1.5, 2.5, 1.5);
    body.lineTo(12.5, 1.5);
    body.lineTo(14.5, 3.5);
    body.lineTo(14.5, 13.5);
    body.quadTo(14.5, 14.5, 13.5, 14.5);
    body.lineTo(2.5, 14.5);
    body.quadTo(1.5, 14.5, 1.5, 13.5);
    body.closeSubpath();
    p.setPen(pen(QColor(22, 42, 96)));
    p.setBrush(QColor(50, 86, 164));
    p.drawPath(body);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(214, 218, 228));
    p.drawRect(QRectF(4.5, 2, 7, 4.5));
    p.setBrush(QColor(50, 86, 164));
    p.drawRect(QRectF(9, 2.5, 1.5, 3.5));
    p.setPen(pen(QColor(200, 204, 214)));
    p.setBrush(kPaper);
    p.drawRect(QRectF(3.5, 8.5, 9, 5.5));
    p.setPen(pen(QColor(190, 60, 60)));
    p.drawLine(QPointF(5, 10.5), QPointF(11, 10.5));
    p.setPen(pen(kTextLine));
    p.drawLine(QPointF(5, 12.5), QPointF(11, 12.5));
}

void drawCut(QPainter &p)
{
    p.setPen(pen(QColor(80, 84, 96), 1.6));
    p.drawLine(QPointF(5.8, 9.6), QPointF(11.2, 1.2));
    p.drawLine(QPointF(10.2, 9.6), QPointF(4.8, 1.2));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 60, 70));
    p.drawEllipse(QPointF(8, 6.1), 0.9, 0.9);
    p.setPen(pen(QColor(190, 32, 32), 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(4.6, 12.2), 2.5, 2.5);
    p.drawEllipse(QPointF(11.4, 12.2), 2.5, 2.5);
}

void drawCopy(QPainter &p)
{
    sheet(p, QRectF(1.5, 1.5, 8, 10));
    sheet(p, QRectF(6.5, 4.5, 8, 10));
}

void drawPaste(QPainter &p)
{
    p.setPen(pen(QColor(112, 72, 32)));
    p.setBrush(QColor(184, 134, 76));
    p.drawRoundedRect(QRectF(1.5, 2.5, 10, 12), 1, 1);
    p.setPen(pen(QColor(80, 80, 90)));
    p.setBrush(QColor(200, 200, 208));
    p.drawRoundedRect(QRectF(4.5, 1.5, 4, 3), 0.8, 0.8);
    sheet(p, QRectF(6.5, 6.5, 8, 8));
}

void drawLetter(QPainter &p, const QString &letter, const QRectF &area, int pixelSize, bool bold)
{
    QFont font = QApplication::font();
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setUnderline(false);
    p.setFont(font);
    p.setPen(kInk);
    p.drawText(area, Qt::AlignCenter, letter);
}

void drawBold(QPainter &p)
{
    drawLetter(p, QStringLiteral("G"), QRectF(0, 0, 16, 16), 15, true);
}

void drawUnderline(QPainter &p)
{
    drawLetter(p, QStringLiteral("S"), QRectF(0, -1, 16, 14), 13, false);
    p.fillRect(QRectF(3, 13.5, 10, 1.5), kInk);
}

// Three rows of a table with the middle one standing out, and a sign on the right.
void drawRows(QPainter &p, const QColor &middle, const QColor &sign, bool plus)
{
    p.setPen(pen(kPaperEdge));
    for (int row = 0; row < 3; ++row) {
        p.setBrush(row == 1 ? middle : kPaper);
        p.drawRect(QRectF(0.5, 1.5 + row * 4.5, 9, 4));
    }
    p.setPen(pen(sign, 2.0));
    p.drawLine(QPointF(10.5, 8), QPointF(15, 8));
    if (plus)
        p.drawLine(QPointF(12.75, 5.75), QPointF(12.75, 10.25));
}

void drawInsertRow(QPainter &p)
{
    drawRows(p, QColor(255, 255, 192), QColor(24, 150, 40), true);
}

void drawDeleteRow(QPainter &p)
{
    drawRows(p, QColor(255, 214, 214), QColor(200, 24, 24), false);
}

void drawTextColour(QPainter &p)
{
    drawLetter(p, QStringLiteral("A"), QRectF(0, -1, 16, 13), 12, true);
    p.setPen(pen(QColor(120, 0, 0)));
    p.setBrush(QColor(230, 0, 0));
    p.drawRect(QRectF(1.5, 12.5, 13, 2.5));
}

// The small icons of the labelled buttons, in a `size` square.
void drawSearchIcon(QPainter &p, qreal size)
{
    const qreal k = size / 10;
    p.setPen(pen(QColor(110, 70, 30), 2.2 * k));
    p.drawLine(QPointF(6.3 * k, 6.3 * k), QPointF(9.3 * k, 9.3 * k));
    p.setPen(pen(QColor(36, 60, 120), 1.2 * k));
    p.setBrush(QColor(204, 228, 255));
    p.drawEllipse(QPointF(4 * k, 4 * k), 3.3 * k, 3.3 * k);
}

void drawOptionsIcon(QPainter &p, qreal size)
{
    const qreal k = size / 10;
    const QColor colours[] = {{220, 40, 40}, {40, 160, 60}, {40, 80, 210}, {240, 200, 30}};
    p.setPen(pen(QColor(60, 60, 70), 0.8));
    for (int i = 0; i < 4; ++i) {
        p.setBrush(colours[i]);
        p.drawRect(QRectF((0.6 + (i % 2) * 4.8) * k, (0.6 + (i / 2) * 4.8) * k, 4 * k, 4 * k));
    }
}

void drawHelpIcon(QPainter &p, qreal size)
{
    p.setPen(pen(QColor(20, 60, 140), 0.8));
    p.setBrush(QColor(48, 100, 200));
    p.drawEllipse(QRectF(0.5, 0.5, size - 1, size - 1));
    QFont font = QApplication::font();
    font.setPixelSize(qRound(size * 0.85));
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, QStringLiteral("?"));
}

void drawCloseIcon(QPainter &p, qreal size)
{
    p.setPen(pen(QColor(140, 16, 16), 0.8));
    p.setBrush(QColor(210, 36, 36));
    p.drawRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), 2, 2);
    const qreal a = size * 0.3;
    const qreal b = size * 0.7;
    p.setPen(pen(Qt::white, size / 7));
    p.drawLine(QPointF(a, a), QPointF(b, b));
    p.drawLine(QPointF(a, b), QPointF(b, a));
}

using IconPainter = void (*)(QPainter &, qreal);

struct LabelImage
{
    const char *text;
    IconPainter icon;
};

const LabelImage kLabels[] = {
    {"Cerca", drawSearchIcon},
    {"Opzioni", drawOptionsIcon},
    {"Help", drawHelpIcon},
    {"Chiudi", drawCloseIcon},
};

constexpr qreal kLabelIconSize = 10;
constexpr qreal kLabelGap = 2;
constexpr int kLargestLabelPixels = 12;
constexpr int kSmallestLabelPixels = 7;

int imageWidth(int index)
{
    if (index < SearchButton)
        return kIconImageSize;
    // From the rest offset to one pixel short of the border on the right.
    const ButtonPlace &place = kPlaces[index];
    const int room = twipsToPixels(place.width) - twipsToPixels(place.imageLeft) - 2;
    return std::min(room, kMaxImageWidth);
}

QFont labelFont(int pixelSize)
{
    QFont font = QApplication::font();
    font.setPixelSize(pixelSize);
    return font;
}

bool labelFits(int label, int pixelSize)
{
    const qreal text = QFontMetricsF(labelFont(pixelSize)).horizontalAdvance(
        QLatin1String(kLabels[label].text));
    return kLabelIconSize + kLabelGap + text <= imageWidth(SearchButton + label);
}

// One text size for all four labels, the largest at which each fits its image.
int labelPixelSize()
{
    for (int size = kLargestLabelPixels; size > kSmallestLabelPixels; --size) {
        bool all = true;
        for (int label = 0; label < int(std::size(kLabels)); ++label)
            all = all && labelFits(label, size);
        if (all)
            return size;
    }
    return kSmallestLabelPixels;
}

void drawLabel(QPainter &p, int label, int width)
{
    const QFont font = labelFont(labelPixelSize());
    const QString text = QLatin1String(kLabels[label].text);
    const qreal textWidth = QFontMetricsF(font).horizontalAdvance(text);
    const qreal content = kLabelIconSize + kLabelGap + textWidth;
    const qreal left = std::max<qreal>(0, std::floor((width - content) / 2));

    p.save();
    p.translate(left, (kImageHeight - kLabelIconSize) / 2);
    kLabels[label].icon(p, kLabelIconSize);
    p.restore();

    p.setFont(font);
    p.setPen(kInk);
    p.drawText(QRectF(left + kLabelIconSize + kLabelGap, 0, textWidth + 1, kImageHeight),
               Qt::AlignLeft | Qt::AlignVCenter, text);
}

} // namespace

QString toolButtonTooltip(int index)
{
    static const char *const tips[kToolButtons] = {
        " Salva ", " Taglia ", " Copia ", " Incolla ", " Testo in grassetto ",
        " Testo sottolineato ", " Inserisci riga ", " Togli riga ", " Colore testo ",
        " Cerca nella Rubrica ", " Opzioni colore ", " Guida in linea ", " Chiudi la Rubrica ",
    };
    return isButton(index) ? QString::fromLatin1(tips[index]) : QString();
}

QRect toolButtonRect(int index)
{
    if (!isButton(index))
        return {};
    return {twipsToPixels(kPlaces[index].left), twipsToPixels(kBoxTop),
            twipsToPixels(kPlaces[index].width), twipsToPixels(kBoxHeight)};
}

QRect searchBoxRect()
{
    return {twipsToPixels(3780), twipsToPixels(kBoxTop), twipsToPixels(1455),
            twipsToPixels(kBoxHeight)};
}

QString searchBoxTooltip()
{
    return QStringLiteral(" Cerca il testo inserito in tutte le cartelle della Rubrica  ");
}

QPoint toolButtonRestOffset(int index)
{
    if (!isButton(index))
        return {};
    return {twipsToPixels(kPlaces[index].imageLeft), twipsToPixels(kImageTop)};
}

QImage toolButtonImage(int index, qreal devicePixelRatio)
{
    if (!isButton(index))
        return {};
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    const int width = imageWidth(index);
    QImage image(QSize(qCeil(width * ratio), qCeil(kImageHeight * ratio)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    switch (index) {
    case SaveButton: drawSave(p); break;
    case CutButton: drawCut(p); break;
    case CopyButton: drawCopy(p); break;
    case PasteButton: drawPaste(p); break;
    case BoldButton: drawBold(p); break;
    case UnderlineButton: drawUnderline(p); break;
    case InsertRowButton: drawInsertRow(p); break;
    case DeleteRowButton: drawDeleteRow(p); break;
    case TextColourButton: drawTextColour(p); break;
    default: drawLabel(p, index - SearchButton, width); break;
    }
    return image;
}

// --- ToolButton ---------------------------------------------------------------------------

ToolButton::ToolButton(int index, QWidget *parent) : QWidget(parent), m_index(index)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setToolTip(toolButtonTooltip(index));
    setGeometry(toolButtonRect(index));
}

void ToolButton::setLook(ToolButtonLook look)
{
    if (look == m_look)
        return;
    m_look = look;
    update();
}

QPoint ToolButton::imageOffset() const
{
    const QPoint rest = toolButtonRestOffset(m_index);
    if (m_look != ToolButtonLook::Hover)
        return rest;
    const ButtonPlace &place = kPlaces[m_index];
    return {twipsToPixels(place.imageLeft - kHoverShift), twipsToPixels(kImageTop - kHoverShift)};
}

const QImage &ToolButton::image()
{
    const qreal ratio = devicePixelRatioF();
    if (m_image.isNull() || !qFuzzyCompare(m_image.devicePixelRatio(), ratio))
        m_image = toolButtonImage(m_index, ratio);
    return m_image;
}

void ToolButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    switch (m_look) {
    case ToolButtonLook::Rest:
        painter.fillRect(rect(), palette().color(QPalette::Window));
        break;
    case ToolButtonLook::Hover:
        painter.fillRect(rect(), hoverColour());
        break;
    case ToolButtonLook::Pressed:
        painter.fillRect(rect(), pressedColour());
        break;
    }
    if (m_look != ToolButtonLook::Rest) {
        painter.setPen(QPen(borderColour(), 0));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    painter.drawImage(imageOffset(), image());
}

void ToolButton::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    emit mouseMoved(m_index);
}

void ToolButton::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    emit mousePressed(m_index);
}

void ToolButton::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    emit mouseReleased(m_index);
}

// --- Toolbar ------------------------------------------------------------------------------

Toolbar::Toolbar(QWidget *window, std::function<QPoint()> pointer)
    : QObject(window), m_window(window), m_pointer(std::move(pointer))
{
    if (!m_pointer)
        m_pointer = [] { return QCursor::pos(); };
    for (int index = 0; index < kToolButtons; ++index) {
        auto *button = new ToolButton(index, window);
        connect(button, &ToolButton::mouseMoved, this, &Toolbar::moved);
        connect(button, &ToolButton::mousePressed, this, &Toolbar::pressed);
        connect(button, &ToolButton::mouseReleased, this, &Toolbar::released);
        m_buttons[index] = button;
    }
    m_timer.setInterval(kTimer1Interval);
    connect(&m_timer, &QTimer::timeout, this, &Toolbar::tick);
}

void Toolbar::azzeraPulsanti()
{
    if (m_active >= kNoButton)
        return;
    m_buttons[m_active]->setLook(ToolButtonLook::Rest);
    m_active = kNoButton;
}

QRect Toolbar::band() const
{
    const ToolButton *first = m_buttons.front();
    const ToolButton *last = m_buttons.back();
    const QPoint topLeft = first->mapToGlobal(QPoint(0, 0));
    const QPoint bottom = first->mapToGlobal(QPoint(0, first->height() - 1));
    const QPoint right = last->mapToGlobal(QPoint(last->width() - 1, 0));
    return QRect(topLeft, QPoint(right.x(), bottom.y()));
}

void Toolbar::tick()
{
    if (band().contains(m_pointer()))
        return;
    azzeraPulsanti();
    m_timer.stop();
}

void Toolbar::moved(int index)
{
    startTimer1();
    emit hovered(index);
    if (index == m_active)
        return;
    azzeraPulsanti();
    m_active = index;
    m_buttons[index]->setLook(ToolButtonLook::Hover);
}

void Toolbar::pressed(int index)
{
    m_buttons[index]->setLook(ToolButtonLook::Pressed);
    // The action may open a modal dialog or close the window: nothing runs after it.
    emit triggered(index);
}

void Toolbar::released(int index)
{
    // The action may have put the toolbar to rest (a question asked); the button under the
    // pointer becomes the hovered one again, so that the timer can put it back to rest.
    if (index != m_active) {
        azzeraPulsanti();
        m_active = index;
    }
    m_buttons[index]->setLook(ToolButtonLook::Hover);
    startTimer1();
}

void Toolbar::startTimer1()
{
    // A running timer keeps its beat: moves over the buttons do not put the next tick off.
    if (!m_timer.isActive())
        m_timer.start();
}

} // namespace promemo::rubrica
