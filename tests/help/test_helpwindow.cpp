#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include "help/helptopics.h"
#include "help/helpwindow.h"
#include "platform/helpstarter.h"
#include "tests/support/fakewindowregistry.h"

using namespace promemo;

namespace {

// The pages as the build delivers them into the program folder.
const QString kPages = QStringLiteral(PROMEMO_PROGRAM_FOLDER "/help");
const QString kHelp = QString::fromUtf16(kHelpCaption);

QString pageText(const QString &page)
{
    QFile file(QDir(kPages).filePath(page));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

TEST(HelpPages, EveryTopicHasAPageAndEveryLinkLeadsToATopic)
{
    const QRegularExpression link(QStringLiteral("href\\s*=\\s*\"([^\"]*)\""));
    QSet<QString> linkedTo;
    for (const auto &topic : helpTopics()) {
        const QString text = pageText(topic.page);
        ASSERT_FALSE(text.isEmpty()) << topic.page.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("<meta charset=\"utf-8\">")))
            << topic.page.toStdString();
        for (const auto &match : link.globalMatch(text)) {
            const QString target = match.captured(1);
            EXPECT_TRUE(isHelpTopic(target))
                << topic.page.toStdString() << " links to " << target.toStdString();
            linkedTo.insert(target);
        }
    }
    // No page is reachable from the index only.
    for (const auto &topic : helpTopics())
        EXPECT_TRUE(linkedTo.contains(topic.page)) << topic.page.toStdString();
}

TEST(HelpTopics, OnlyKnownBareNamesAreOpened)
{
    struct Case
    {
        const char *requested;
        const char *opened;
    };
    const Case cases[] = {
        {"alert.htm", "alert.htm"},
        {"rubrica.htm", "rubrica.htm"},
        {"", "intro.htm"},
        {"ALERT.HTM", "intro.htm"},
        {"nonesiste.htm", "intro.htm"},
        {"../help/alert.htm", "intro.htm"},
        {"help/alert.htm", "intro.htm"},
        {"/etc/passwd", "intro.htm"},
        {"alert.htm ", "intro.htm"},
        {"mk:@MSITStore:PromemoHlp.chm::/alert.htm", "intro.htm"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(helpPageFor(QString::fromUtf8(c.requested)), QString::fromUtf8(c.opened))
            << c.requested;
}

class HelpWindowTest : public ::testing::Test
{
protected:
    test::FakeWindowRegistry windows;
};

TEST_F(HelpWindowTest, ShowsTheRequestedTopicUnderItsCaption)
{
    HelpWindow window(windows, kPages);
    window.showTopic(QStringLiteral("calendario.htm"));
    window.show();

    EXPECT_EQ(window.windowTitle(), QStringLiteral("Help di Promemo"));
    EXPECT_EQ(window.currentPage(), QStringLiteral("calendario.htm"));
    const QString shown = window.browser()->toPlainText();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Calendario"))) << shown.left(80).toStdString();
    // Accented letters survive the page encoding.
    EXPECT_TRUE(shown.contains(QStringLiteral("Festività e ricorrenze dell'anno")));
    EXPECT_EQ(window.index()->currentItem()->text(), QStringLiteral("Calendario"));
}

TEST_F(HelpWindowTest, ABadTopicOpensTheIntroduction)
{
    HelpWindow window(windows, kPages);
    window.showTopic(QStringLiteral("../../etc/passwd"));

    EXPECT_EQ(window.currentPage(), QStringLiteral("intro.htm"));
    EXPECT_TRUE(window.browser()->toPlainText().startsWith(QStringLiteral("Benvenuti in Promemo")));
}

TEST_F(HelpWindowTest, MissingPagesAreSaidSo)
{
    HelpWindow window(windows, QStringLiteral("/nonexistent/help"));
    window.showTopic(QStringLiteral("alert.htm"));

    EXPECT_TRUE(window.browser()->toPlainText().contains(QStringLiteral("alert.htm")));
    EXPECT_TRUE(window.browser()->toPlainText().startsWith(QStringLiteral("Guida non disponibile")));
}

TEST_F(HelpWindowTest, LinksAndTheIndexMoveBetweenPages)
{
    HelpWindow window(windows, kPages);
    window.showTopic(QStringLiteral("intro.htm"));
    window.show();

    // Following a relative link the way a click does.
    window.browser()->setSource(QUrl(QStringLiteral("ricorrenze.htm")));
    EXPECT_EQ(window.currentPage(), QStringLiteral("ricorrenze.htm"));
    EXPECT_TRUE(window.browser()->toPlainText().startsWith(QStringLiteral("Editor Ricorrenze")));
    EXPECT_EQ(window.index()->currentItem()->data(Qt::UserRole).toString(),
              QStringLiteral("ricorrenze.htm"));

    QListWidget *index = window.index();
    QListWidgetItem *rubrica = index->findItems(QStringLiteral("Rubrica telefonica"),
                                                Qt::MatchExactly).value(0);
    ASSERT_NE(rubrica, nullptr);
    QTest::mouseClick(index->viewport(), Qt::LeftButton, {},
                      index->visualItemRect(rubrica).center());
    EXPECT_EQ(window.currentPage(), QStringLiteral("rubrica.htm"));

    window.browser()->backward();
    EXPECT_EQ(window.currentPage(), QStringLiteral("ricorrenze.htm"));
}

TEST_F(HelpWindowTest, RegistersItsCaptionAndAnswersRaiseAndCloseRequests)
{
    {
        HelpWindow window(windows, kPages);
        window.showTopic(QStringLiteral("intro.htm"));
        window.showMinimized();
        EXPECT_EQ(windows.registeredCaptions(), QStringList{kHelp});

        ASSERT_TRUE(windows.raise(kHelp));
        QTRY_VERIFY_WITH_TIMEOUT(!(window.windowState() & Qt::WindowMinimized), 5000);
        EXPECT_TRUE(window.isVisible());

        QTest::keyClick(window.browser(), Qt::Key_Escape);
        EXPECT_FALSE(window.isVisible());

        window.show();
        // The close request the launcher sends when it exits.
        ASSERT_TRUE(windows.postClose(kHelp));
        QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 5000);
    }
    EXPECT_TRUE(windows.registeredCaptions().isEmpty());
}

} // namespace
