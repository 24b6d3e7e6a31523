#pragma once

#include <QWidget>

#include <memory>

#include "launcher/core/archivesearchsession.h"
#include "platform/services.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace promemo::launcher {

// frmArchivio, "  Archivio Notino": the whole archive as one text, newest note first, and a
// search through it, which is its session's. Not modal; deleted on close.
class frmArchivio : public QWidget
{
    Q_OBJECT
public:
    // Shows `archiveText` (the records in their display form) on top, with the focus in the
    // search box.
    frmArchivio(const Services &services, const QString &archiveText, QWidget *parent = nullptr);
    ~frmArchivio() override;

    QPlainTextEdit *text1() const { return Text1; }
    QLineEdit *text2() const { return Text2; }
    QPushButton *cmdTrova() const { return m_cmdTrova; }
    const ArchiveSearchSession &session() const { return m_session; }

protected:
    // Text2: its whole text selected when it takes the focus, emptied by a double click.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void cmdHelp_Click();
    void selectInText1(qsizetype position, qsizetype length);
    void focusText2();

    const Services m_services;
    ArchiveSearchSession m_session;
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
