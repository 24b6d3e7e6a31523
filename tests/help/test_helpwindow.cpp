#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QRegularExpression>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include "help/helptopics.h"
#include "help/helpwindow.h"
#include "tests/support/fakewindowregistry.h"

using namespace promemo;

namespace {

// The pages as the build delivers them into the program folder.
const QString kPages = QStringLiteral(PROMEMO_PROGRAM_FOLDER "/help");

TEST(HelpPages, EveryLinkLeadsToATopic)
{
    const QRegularExpression link(QStringLiteral("<a\\s[^>]*href\\s*=\\s*\"([^\"]*)\""));
    for (const auto &topic : helpTopics()) {
        QFile page(QDir(kPages).filePath(topic.page));
        ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << topic.page.toStdString();
        for (const auto &match : link.globalMatch(QString::fromUtf8(page.readAll()))) {
            EXPECT_TRUE(isHelpTopic(match.captured(1)))
                << topic.page.toStdString() << " links to " << match.captured(1).toStdString();
        }
    }
}

TEST(HelpWindow, ShowsThePageOfAKnownTopicTheIntroductionForAnyOtherAndWhenAPageIsMissing)
{
    test::FakeWindowRegistry windows;
    HelpWindow window(windows, kPages);
    const char *intro = "Benvenuti in Promemo";
    // Requested, page shown, text on it (accented letters survive the page encoding).
    const struct { const char *requested, *page, *text; } cases[] = {
        {"calendario.htm", "calendario.htm", "Festività e ricorrenze dell'anno"},
        {"ALERT.HTM", "intro.htm", intro},         {"nonesiste.htm", "intro.htm", intro},
        {"../../etc/passwd", "intro.htm", intro},  {"help/alert.htm", "intro.htm", intro},
        {"alert.htm ", "intro.htm", intro},        {"", "intro.htm", intro},
    };
    for (const auto &c : cases) {
        window.showTopic(QString::fromUtf8(c.requested));
        EXPECT_EQ(window.currentPage(), QString::fromUtf8(c.page)) << c.requested;
        EXPECT_TRUE(window.browser()->toPlainText().contains(QString::fromUtf8(c.text)));
        EXPECT_EQ(window.index()->currentItem()->data(Qt::UserRole), window.currentPage());
    }

    HelpWindow withoutPages(windows, QStringLiteral("/nonexistent/help"));
    withoutPages.showTopic(QStringLiteral("alert.htm"));
    const QString shown = withoutPages.browser()->toPlainText();
    EXPECT_TRUE(shown.startsWith(u"Guida non disponibile") && shown.contains(u"alert.htm"))
        << shown.toStdString();
}

} // namespace
