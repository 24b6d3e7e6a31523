#pragma once

#include <QMainWindow>
#include <QString>

#include <memory>

class QListWidget;
class QTextBrowser;
class QUrl;

namespace promemo {

class IWindowRegistry;
class RegisteredWindow;

// The help viewer: an index of the topics beside the page of the chosen topic.
class HelpWindow : public QMainWindow
{
    Q_OBJECT
public:
    // `pagesFolder` holds the topic pages. The window registers its caption in `windows`
    // for as long as it lives.
    HelpWindow(IWindowRegistry &windows, const QString &pagesFolder, QWidget *parent = nullptr);
    ~HelpWindow() override;

    // Shows `topic`, or the introduction when it is not a page of the help.
    void showTopic(const QString &topic);
    // The page shown ("alert.htm").
    QString currentPage() const;

    QTextBrowser *browser() const { return m_browser; }
    QListWidget *index() const { return m_index; }

private:
    void pageChanged(const QUrl &url);

    QString m_pagesFolder;
    QTextBrowser *m_browser = nullptr;
    QListWidget *m_index = nullptr;
    std::unique_ptr<RegisteredWindow> m_registration;
};

} // namespace promemo
