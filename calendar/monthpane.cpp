#include "calendar/monthpane.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

#include "common/datetexts.h"

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
        , pane_(pane)
    {
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        pane_.paintGrid(painter);
    }

    void mousePressEvent(QMouseEvent *event) override
    {
        pane_.pressGrid(event->position().toPoint());
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) {
            QWidget::keyPressEvent(event);
            return;
        }
        switch (event->key()) {
        case Qt::Key_Right: emit pane_.moveRequested(1, 0); break;
        case Qt::Key_Left: emit pane_.moveRequested(-1, 0); break;
        case Qt::Key_Down: emit pane_.moveRequested(7, 0); break;
        case Qt::Key_Up: emit pane_.moveRequested(-7, 0); break;
        case Qt::Key_PageDown: emit pane_.moveRequested(0, 1); break;
        case Qt::Key_PageUp: emit pane_.moveRequested(0, -1); break;
        default: QWidget::keyPressEvent(event); return;
        }
        event->accept();
    }

private:
    MonthPane &pane_;
};

MonthPane::MonthPane(int index, const DayMarks &marks, QWidget *parent)
    : QWidget(parent)
    , index_(index)
    , marks_(marks)
{
    setFixedSize(kPaneSize);
    setAutoFillBackground(true);

    QFont bold;
    bold.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")});
    bold.setPointSizeF(9.75);
    bold.setBold(true);
    caption_ = new QLabel(this);
    caption_->setGeometry(kCaptionRect);
    caption_->setAlignment(Qt::AlignCenter);
    caption_->setFont(bold);

    auto *header = new QLabel(kWeekdayHeader, this);
    header->setGeometry(kHeaderRect);

    grid_ = new DayGrid(*this);
    grid_->setObjectName(QStringLiteral("PicMese"));
    grid_->setGeometry(kGridRect);
    cellSize_ = calendar::cellSize(grid_->size());
}

int MonthPane::index() const
{
    return index_;
}

void MonthPane::setMonth(QDate dayOfMonth, QDate today)
{
    month_ = QDate(dayOfMonth.year(), dayOfMonth.month(), 1);
    today_ = today;
    caption_->setText(monthYearText(month_));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, isCurrentMonth(month_, today_) ? kCurrentMonthBackground : kOtherMonthBackground);
    setPalette(palette);
    grid_->update();
}

QDate MonthPane::month() const
{
    return month_;
}

void MonthPane::setMarkedDate(std::optional<QDate> marked)
{
    marked_ = marked;
    grid_->update();
}

void MonthPane::refresh()
{
    grid_->update();
}

QWidget *MonthPane::grid() const
{
    return grid_;
}

CellSize MonthPane::cellSize() const
{
    return cellSize_;
}

void MonthPane::paintGrid(QPainter &painter)
{
    const QColor background = gridBackground();
    painter.fillRect(grid_->rect(), background);
    if (!month_.isValid())
        return;

    const auto box = [&](QRect twips, QColor fill) {
        const QRect pixels = toPixels(twips);
        painter.fillRect(pixels, fill);
        painter.setPen(background);
        painter.drawRect(pixels.adjusted(0, 0, -1, -1));
    };

    const QList<DayLook> looks = dayLooks(month_, cellSize_, marks_);
    for (const DayLook &look : looks) {
        if (look.recurrenceMark)
            box(markBox(look.origin), kRecurrenceColour);
    }
    for (const DayLook &look : looks) {
        if (look.noteMark)
            box(look.recurrenceMark ? upperMarkBox(look.origin) : markBox(look.origin), kNoteColour);
    }

    painter.setFont(grid_->font());
    for (const DayLook &look : looks) {
        const QRect cell = toPixels(QRect(look.origin, QSize(cellSize_.width, cellSize_.height)));
        painter.setPen(look.red ? kHolidayColour : QColor(Qt::black));
        painter.drawText(cell, Qt::AlignCenter, QString::number(look.date.day()));
    }

    if (marked_ && marked_->year() == month_.year() && marked_->month() == month_.month()) {
        painter.setPen(kFrameColour);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(toPixels(markBox(cellOrigin(*marked_, cellSize_))).adjusted(0, 0, -1, -1));
    }
}

void MonthPane::pressGrid(QPoint pixels)
{
    if (!month_.isValid())
        return;
    if (const auto day = dayAtPress(month_, pixels, cellSize_))
        emit dayPressed(*day);
}

} // namespace promemo::calendar
