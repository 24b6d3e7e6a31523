#pragma once

#include <QWidget>

#include <memory>

#include "platform/services.h"
#include "platform/messageboxes.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace promemo::launcher {

// frmArchivio, "  Archivio Notino": the whole archive as one text, newest note first, and a
// search through it occurrence by occurrence, upper and lower case alike. Not modal; deleted on
// close.
class frmArchivio : public QWidget
{
    Q_OBJECT
public:
    // Shows `archiveText` (the records in their display form) on top without taking the focus
    // from the active window, with the focus in the search box.
    frmArchivio(const Services &services, const QString &archiveText, QWidget *parent = nullptr);
    ~frmArchivio() override;

    QPlainTextEdit *text1() const { return Text1; }
    QLineEdit *text2() const { return Text2; }
    QPushButton *cmdTrova() const { return m_cmdTrova; }
    QPushButton *cmdHelp() const { return m_cmdHelp; }
    QPushButton *cmdChiudi() const { return m_cmdChiudi; }
    // Where the next search starts in the shown text, from 0.
    qsizetype startPosition() const { return m_start; }

    void cmdTrova_Click();

private:
    void buildControls();
    void Text2_DblClick();
    void cmdHelp_Click();
    void selectInText1(qsizetype position, qsizetype length);

    const Services m_services;
    const WindowMessages m_search;
    // The archive text with its line ends as Text1 holds them, so positions agree.
    const QString m_shown;
    qsizetype m_start = 0;
    std::unique_ptr<RegisteredWindow> m_registration;

    QPlainTextEdit *Text1 = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *Text2 = nullptr;
    QPushButton *m_cmdTrova = nullptr;
    QPushButton *m_cmdHelp = nullptr;
    QPushButton *m_cmdChiudi = nullptr;
};

// `Form_Load`: reads "archivio.dat" in the program folder and shows it in a new window,
// registered under its caption. Without an archive, or when it cannot be read, shows the
// message and returns null.
frmArchivio *openArchiveWindow(const Services &services);

} // namespace promemo::launcher
