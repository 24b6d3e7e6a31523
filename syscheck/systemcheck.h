#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <vector>

#include "common/clock.h"
#include "platform/systemfiles.h"
#include "widgets/windowowner.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace promemo::syscheck {

inline constexpr QColor kFoundColour{128, 255, 128};
inline constexpr QColor kMissingColour{255, 0, 0};

// One round indicator: an outline until it is lit, then filled with its colour.
class Indicator : public QWidget
{
    Q_OBJECT
public:
    explicit Indicator(QWidget *parent);
    void light(const QColor &colour);
    bool isLit() const { return m_lit; }
    QColor colour() const { return m_colour; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_lit = false;
    QColor m_colour;
};

// frmErrore, " System Files Error Window": the missing files, one after the other.
class frmErrore : public QWidget
{
    Q_OBJECT
public:
    explicit frmErrore(QWidget *parent = nullptr);
    void addMissing(const QString &fileName);
    QString missingText() const;
    QPushButton *chiudi() const { return Command1; }

signals:
    void chiudiClicked();

private:
    QPlainTextEdit *Text1;
    QPushButton *Command1;
};

// What the check looks at: the files in order, where each is found (empty: missing), the
// system folder shown for a missing file, the session and the program folder.
struct CheckInput
{
    std::vector<SystemFile> files;
    std::function<QString(const SystemFile &)> locate;
    QString systemFolder;
    SessionType session = SessionType::X11;
    QString programFolder;
};

// frmMain, "  Promemo System Files Controller".
class frmMain : public QWidget
{
    Q_OBJECT
public:
    explicit frmMain(const IClock &clock, QWidget *parent = nullptr);
    ~frmMain() override;

    // Shows the window, lights the session, deletes "nosuono.wav", checks the files 100 ms apart,
    // then opens the error window, or closes 200 ms later when nothing is missing.
    void run(const CheckInput &input);

    Indicator *fileIndicator(int index) const { return m_files.at(index); }
    Indicator *sessionIndicator(SessionType session) const;
    QString currentPath() const;
    frmErrore *errorWindow() const { return m_error; }

signals:
    // The check ended: everything present and the window closed, or "&Chiudi" pressed.
    void finished();

private:
    void showPath(const QString &path);
    void checkFile(int index);
    void finishCheck();

    const IClock &m_clock;
    CheckInput m_input;
    std::vector<int> m_missing;
    QString m_currentPath;
    QLabel *Label1;
    QLabel *Label4;
    std::array<Indicator *, 10> m_files{};
    Indicator *m_x11 = nullptr;
    Indicator *m_wayland = nullptr;
    QPointer<frmErrore> m_error;
    WindowOwner m_windows;
};

} // namespace promemo::syscheck
