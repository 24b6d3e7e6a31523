#pragma once

#include <QDate>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>

#include "calendar/monthpane.h"
#include "common/notename.h"
#include "common/settings.h"
#include "platform/services.h"
#include "widgets/programstart.h"
#include "platform/messageboxes.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QScrollBar;

namespace promemo::calendar {

// The calendar window: three month panes, the header strip, the day-mark check boxes, the
// scroll bar over +-12 months, the year list and the launch of a note for a chosen day.
class frmMain : public QWidget
{
    Q_OBJECT
public:
    explicit frmMain(const Services &services, QWidget *parent = nullptr);
    ~frmMain() override;

    QDate selectedDate() const { return m_selected; }
    QDate markedDate() const { return m_marked; }
    QDate launchDate() const { return m_launch; }
    std::array<QDate, 3> paneDates() const { return m_paneDates; }
    MonthPane *pane(int index) const { return m_panes.at(index); }
    QScrollBar *scrollBar() const { return HScroll1; }
    QCheckBox *checkBox(CalendarCheck check) const;
    QPushButton *feste() const { return cmdFeste; }
    QListWidget *yearList() const { return m_yearList; }
    QString headerText() const; // "dayOfYear|long date|week"

    // Centred on the screen with the focus on the scroll bar.
    void start();

    void Imposta_Data(QDate date, int pane);
    void Segna_Giorno();
    void Calcolo_Settimana(QDate date);
    void Lancia_Notino(NoteSize size);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void drawGrids();
    void mese(int value);
    void dayPressed(QDate date);
    void moveRequested(int pane, int days, int months);
    void checkClicked(CalendarCheck check, bool on);
    void cmdFeste_Click();
    void cmdChiudi_Click();
    void Festivita();
    void showMonths();
    bool yearListShown() const;
    QString calendarCaption() const;
    void syncMarks();

    const Services m_services;
    const WindowMessages m_messages;
    Settings m_settings;
    DayMarks m_marks;

    QLabel *lblGiorni = nullptr;
    QLabel *lblGiorno = nullptr;
    QLabel *lblSettimane = nullptr;
    std::array<MonthPane *, 3> m_panes{};
    QCheckBox *Check1 = nullptr;
    QCheckBox *Check2 = nullptr;
    QCheckBox *Check3 = nullptr;
    QScrollBar *HScroll1 = nullptr;
    QPushButton *cmdFeste = nullptr;
    QPushButton *cmdChiudi = nullptr;
    QWidget *m_listContainer = nullptr;
    QListWidget *m_yearList = nullptr;
    std::unique_ptr<RegisteredWindow> m_registration;

    QDate m_selected;
    QDate m_marked;
    QDate m_launch;
    std::array<QDate, 3> m_paneDates;
    QDate m_paintedMiddleMonth;
    bool m_loaded = false;
    bool m_markedFollows = false;
    bool m_forceRedraw = false;
};

// The calendar's start after the single-instance check, once the launcher's tray window has
// been looked for: `started` gets the window from the event loop, or null (end silently)
// without the tray.
void startCalendar(const Services &services, QObject *context, Started<frmMain> started);

} // namespace promemo::calendar
