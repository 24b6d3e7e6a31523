#include "addressbook/toolbutton.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <QApplication>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>
#include <QtMath>

#include "addressbook/core/logging.h"
#include "common/twips.h"

namespace promemo::rubrica {


namespace {

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

// The image files (addressbook/images/) in button order: for the labelled buttons, their icon.
constexpr std::array<const char *, kToolButtons> kImageFiles = {
    "save", "cut", "copy", "paste", "bold", "underline", "insertrow", "deleterow", "textcolour",
    "search", "options", "help", "close",
};

constexpr std::array<const char *, 4> kLabels = {"Cerca", "Opzioni", "Help", "Chiudi"};

constexpr qreal kLabelIconSize = 10;
constexpr qreal kLabelGap = 2;
constexpr int kLargestLabelPixels = 12;
constexpr int kSmallestLabelPixels = 7;

void drawSvg(QPainter &p, int index, const QRectF &area)
{
    const QString path = QStringLiteral(":/addressbook/images/%1.svg").arg(QLatin1String(kImageFiles[index]));
    QSvgRenderer renderer(path);
    if (!renderer.isValid()) {
        qCWarning(lcAddressBook) << "toolbar image not readable:" << path;
        return;
    }
    renderer.render(&p, area);
}

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
    const qreal text = QFontMetricsF(labelFont(pixelSize)).horizontalAdvance(QLatin1String(kLabels[label]));
    return kLabelIconSize + kLabelGap + text <= imageWidth(SearchButton + label);
}

// One text size for all four labels, the largest at which each fits its image.
int labelPixelSize()
{
    for (int size = kLargestLabelPixels; size > kSmallestLabelPixels; --size) {
        bool all = true;
        for (int label = 0; label < int(kLabels.size()); ++label)
            all = all && labelFits(label, size);
        if (all)
            return size;
    }
    return kSmallestLabelPixels;
}

// The small icon and the label, centred in the image.
void drawLabel(QPainter &p, int index, int width)
{
    const QFont font = labelFont(labelPixelSize());
    const QString text = QLatin1String(kLabels[index - SearchButton]);
    const qreal textWidth = QFontMetricsF(font).horizontalAdvance(text);
    const qreal content = kLabelIconSize + kLabelGap + textWidth;
    const qreal left = std::max<qreal>(0, std::floor((width - content) / 2));

    drawSvg(p, index, QRectF(left, (kImageHeight - kLabelIconSize) / 2, kLabelIconSize, kLabelIconSize));
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
    if (index < SearchButton)
        drawSvg(p, index, QRectF(0, 0, kIconImageSize, kIconImageSize));
    else
        drawLabel(p, index, width);
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

} // namespace promemo::rubrica
