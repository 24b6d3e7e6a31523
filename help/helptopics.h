#pragma once

#include <QList>
#include <QString>

namespace promemo {

struct HelpTopic
{
    QString page;  // "alert.htm"
    QString title; // as the index shows it
};

// Every page of the help, in index order; the first is the introduction.
const QList<HelpTopic> &helpTopics();

bool isHelpTopic(const QString &page);

// The page to open for a requested topic: the topic itself when it is a known page name,
// the introduction for anything else (paths included).
QString helpPageFor(const QString &requested);

} // namespace promemo
