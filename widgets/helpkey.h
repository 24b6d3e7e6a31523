#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QWidget;

namespace promemo {

class HelpStarter;

// F1 in any of the watched widgets, whatever the modifiers, opens the help at `topic`; the key
// goes no further. Lives as long as its parent.
class HelpKey final : public QObject
{
public:
    HelpKey(HelpStarter &help, QString topic, const QList<QWidget *> &watched, QObject *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    HelpStarter &m_help;
    QString m_topic;
};

// F1 anywhere in `window`: watches the window and every child it has now.
HelpKey *installHelpKey(QWidget &window, HelpStarter &help, const QString &topic);

} // namespace promemo
