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

QColor gridBackground()
{
    return QPalette().color(QPalette::ToolTipBase);
}

} // namespace

// `PicMese(index)`: keeps no image, paints from the pane's state.
class DayGrid final : public QWidget
{
public:
    DayGrid(MonthPane &pane)
        : QWidget(&pane)
        , m_pane(pane)
    {
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        m_pane.paintGrid(painter);
    }

    void mousePressEvent(QMouseEvent *event) override
    {
        m_pane.pressGrid(event->position().toPoint());
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) {
            QWidget::keyPressEvent(event);
            return;
        }
        switch (event->key()) {
        case Qt::Key_Right: emit m_pane.moveRequested(1, 0); break;
        case Qt::Key_Left: emit m_pane.moveRequested(-1, 0); break;
        case Qt::Key_Down: emit m_pane.moveRequested(7, 0); break;
        case Qt::Key_Up: emit m_pane.moveRequested(-7, 0); break;
        case Qt::Key_PageDown: emit m_pane.moveRequested(0, 1); break;
        case Qt::Key_PageUp: emit m_pane.moveRequested(0, -1); break;
        default: QWidget::keyPressEvent(event); return;
        }
        event->accept();
    }

private:
    MonthPane &m_pane;
};

MonthPane::MonthPane(int index, const DayMarks &marks, QWidget *parent)
    : QWidget(parent)
    , m_index(index)
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

    m_grid = new DayGrid(*this);
    m_grid->setObjectName(QStringLiteral("PicMese"));
    m_grid->setGeometry(kGridRect);
    m_cellSize = calendar::cellSize(m_grid->size());
}

int MonthPane::index() const
{
    return m_index;
}

void MonthPane::setMonth(QDate dayOfMonth, QDate today)
{
    m_month = QDate(dayOfMonth.year(), dayOfMonth.month(), 1);
    m_today = today;
    m_caption->setText(monthYearText(m_month));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, isCurrentMonth(m_month, m_today) ? kCurrentMonthBackground : kOtherMonthBackground);
    setPalette(palette);
    m_grid->update();
}

QDate MonthPane::month() const
{
    return m_month;
}

void MonthPane::setMarkedDate(std::optional<QDate> marked)
{
    m_marked = marked;
    m_grid->update();
}

void MonthPane::refresh()
{
    m_grid->update();
}

QWidget *MonthPane::grid() const
{
    return m_grid;
}

CellSize MonthPane::cellSize() const
{
    return m_cellSize;
}

void MonthPane::paintGrid(QPainter &painter)
{
    const QColor background = gridBackground();
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

    if (m_marked && m_marked->year() == m_month.year() && m_marked->month() == m_month.month()) {
        painter.setPen(kFrameColour);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(toPixels(markBox(cellOrigin(*m_marked, m_cellSize))).adjusted(0, 0, -1, -1));
    }
}

void MonthPane::pressGrid(QPoint pixels)
{
    if (!m_month.isValid())
        return;
    if (const auto day = dayAtPress(m_month, pixels, m_cellSize))
        emit dayPressed(*day);
}

} // namespace promemo::calendar
