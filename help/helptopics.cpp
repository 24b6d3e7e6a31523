#include "help/helptopics.h"

#include <algorithm>

namespace promemo {

const QList<HelpTopic> &helpTopics()
{
    static const QList<HelpTopic> topics = {
        {QStringLiteral("intro.htm"), QStringLiteral("Introduzione")},
        {QStringLiteral("elementi.htm"), QStringLiteral("Il Notino")},
        {QStringLiteral("alert.htm"), QStringLiteral("Data e Alert")},
        {QStringLiteral("elenco.htm"), QStringLiteral("Elenco Notino")},
        {QStringLiteral("archivio.htm"), QStringLiteral("Archivio Notino")},
        {QStringLiteral("ricorrenze.htm"), QStringLiteral("Ricorrenze")},
        {QStringLiteral("calendario.htm"), QStringLiteral("Calendario")},
        {QStringLiteral("rubrica.htm"), QStringLiteral("Rubrica telefonica")},
        {QStringLiteral("opzioni.htm"), QStringLiteral("Opzioni")},
    };
    return topics;
}

bool isHelpTopic(const QString &page)
{
    const auto &topics = helpTopics();
    return std::any_of(topics.begin(), topics.end(),
                       [&](const HelpTopic &topic) { return topic.page == page; });
}

QString helpPageFor(const QString &requested)
{
    // Exact names only: the list holds no separators, so no path can get through.
    return isHelpTopic(requested) ? requested : helpTopics().first().page;
}

} // namespace promemo
