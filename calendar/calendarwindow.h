#pragma once

#include <QWidget>

#include <array>
#include <memory>

#include "calendar/core/calendarsession.h"
#include "platform/services.h"
#include "widgets/programstart.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QScrollBar;

namespace promemo::calendar {

class MonthPane;

// The calendar window: three month panes, the header strip, the day-mark check boxes, the
// scroll bar over +-12 months and the year list, all showing what its session says.
class frmMain : public QWidget
{
    Q_OBJECT
public:
    // `folder`: the program folder, for the session.
    frmMain(const Services &services, const QString &folder, QWidget *parent = nullptr);
    ~frmMain() override;

    const CalendarSession &session() const { return m_session; }
    MonthPane *pane(int index) const { return m_panes.at(index); }
    QScrollBar *scrollBar() const { return HScroll1; }
    QPushButton *feste() const { return cmdFeste; }
    QListWidget *yearList() const { return m_yearList; }

    // Centred on the screen with the focus on the scroll bar.
    void start();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void render();
    void checkClicked(CalendarCheck check, bool on);
    void cmdFeste_Click();
    void cmdChiudi_Click();
    void focusScrollBar();

    const Services m_services;
    CalendarSession m_session;

    QLabel *lblGiorni = nullptr;
    QLabel *lblGiorno = nullptr;
    QLabel *lblSettimane = nullptr;
    std::array<MonthPane *, 3> m_panes{};
    std::array<QCheckBox *, 3> m_checks{}; // Check1, Check2, Check3
    QScrollBar *HScroll1 = nullptr;
    QPushButton *cmdFeste = nullptr;
    QPushButton *cmdChiudi = nullptr;
    QWidget *m_listContainer = nullptr;
    QListWidget *m_yearList = nullptr;
    std::unique_ptr<RegisteredWindow> m_registration;
};

// The calendar's start after the single-instance check, once the launcher's tray window has
// been looked for: `started` gets the window from the event loop, or null (end silently)
// without the tray.
void startCalendar(const Services &services, QObject *context, Started<frmMain> started);

} // namespace promemo::calendar
