#include "calendar/monthpane.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

#include "common/datetexts.h"
#include "widgets/suitefont.h"

namespace promemo::calendar {

namespace {

constexpr QSize kPaneSize{143, 155};
constexpr QRect kCaptionRect{0, 8, 145, 17};
constexpr QRect kHeaderRect{0, 32, 145, 17};
constexpr QRect kGridRect{0, 48, 140, 105};
const QString kWeekdayHeader = QStringLiteral("  L    M    M    G    V    S    D");

} // namespace

MonthPane::MonthPane(const DayMarks &marks, QWidget *parent)
    : QWidget(parent)
    , m_marks(marks)
{
    setFixedSize(kPaneSize);
    setAutoFillBackground(true);

    QFont bold = suiteFont(9.75);
    bold.setBold(true);
    m_caption = new QLabel(this);
    m_caption->setGeometry(kCaptionRect);
    m_caption->setAlignment(Qt::AlignCenter);
    m_caption->setFont(bold);

    auto *header = new QLabel(kWeekdayHeader, this);
    header->setGeometry(kHeaderRect);

    m_grid = new QWidget(this);
    m_grid->setObjectName(QStringLiteral("PicMese"));
    m_grid->setGeometry(kGridRect);
    m_grid->setFocusPolicy(Qt::StrongFocus);
    m_grid->setAttribute(Qt::WA_OpaquePaintEvent);
    m_grid->installEventFilter(this);
    m_cellSize = calendar::cellSize(m_grid->size());
}

void MonthPane::showMonth(QDate dayOfMonth, QDate today, std::optional<QDate> framed)
{
    m_month = QDate(dayOfMonth.year(), dayOfMonth.month(), 1);
    m_framed = framed;
    m_caption->setText(monthYearText(m_month));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, isCurrentMonth(m_month, today) ? kCurrentMonthBackground : kOtherMonthBackground);
    setPalette(palette);
    m_grid->update();
}

bool MonthPane::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_grid)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Paint:
        paintGrid();
        return true;
    case QEvent::MouseButtonPress:
        if (const auto day = dayAtPress(m_month, static_cast<QMouseEvent *>(event)->position().toPoint(), m_cellSize))
            emit dayPressed(*day);
        return true;
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))
            return false;
        return gridKey(key->key());
    }
    default:
        return false;
    }
}

bool MonthPane::gridKey(int key)
{
    switch (key) {
    case Qt::Key_Right: emit moveRequested(1, 0); return true;
    case Qt::Key_Left: emit moveRequested(-1, 0); return true;
    case Qt::Key_Down: emit moveRequested(7, 0); return true;
    case Qt::Key_Up: emit moveRequested(-7, 0); return true;
    case Qt::Key_PageDown: emit moveRequested(0, 1); return true;
    case Qt::Key_PageUp: emit moveRequested(0, -1); return true;
    default: return false;
    }
}

void MonthPane::paintGrid()
{
    QPainter painter(m_grid);
    const QColor background = QPalette().color(QPalette::ToolTipBase);
    painter.fillRect(m_grid->rect(), background);
    if (!m_month.isValid())
        return;

    const auto box = [&](QRect twips, QColor fill) {
        const QRect pixels = toPixels(twips);
        painter.fillRect(pixels, fill);
        painter.setPen(background);
        painter.drawRect(pixels.adjusted(0, 0, -1, -1));
    };

    const QList<DayLook> looks = dayLooks(m_month, m_cellSize, m_marks);
    for (const DayLook &look : looks) {
        if (look.recurrenceMark)
            box(markBox(look.origin), kRecurrenceColour);
    }
    for (const DayLook &look : looks) {
        if (look.noteMark)
            box(look.recurrenceMark ? upperMarkBox(look.origin) : markBox(look.origin), kNoteColour);
    }

    painter.setFont(m_grid->font());
    for (const DayLook &look : looks) {
        const QRect cell = toPixels(QRect(look.origin, QSize(m_cellSize.width, m_cellSize.height)));
        painter.setPen(look.red ? kHolidayColour : QColor(Qt::black));
        painter.drawText(cell, Qt::AlignCenter, QString::number(look.date.day()));
    }

    if (m_framed) {
        painter.setPen(kFrameColour);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(toPixels(markBox(cellOrigin(*m_framed, m_cellSize))).adjusted(0, 0, -1, -1));
    }
}

} // namespace promemo::calendar
