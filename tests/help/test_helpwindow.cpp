#include <QDir>
#include <QListWidget>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include "common/atomicfile.h"
#include "common/settingsfile.h"
#include "help/helpwindow.h"
#include "tests/support/fakewindowregistry.h"

using namespace promemo;

namespace {

// The pages as the build delivers them into the program folder.
const QString kPages = QStringLiteral(PROMEMO_PROGRAM_FOLDER "/help");
// The other delivered files as the project keeps them (the copies in a build's program folder
// change once programs run there).
const QDir kData(QStringLiteral(PROMEMO_DATA_FOLDER));

TEST(HelpWindow, ShowsThePageOfAKnownTopicTheIntroductionForAnyOtherAndWhenAPageIsMissing)
{
    test::FakeWindowRegistry windows;
    HelpWindow window(windows, kPages);
    // Requested, page shown, text on it (accented letters survive the page encoding).
    const struct { const char *requested, *page, *text; } cases[] = {
        {"calendario.htm", "calendario.htm", "Festività e ricorrenze dell'anno"},
        {"ALERT.HTM", "intro.htm", "Benvenuti in Promemo"},
        {"../../etc/passwd", "intro.htm", "Benvenuti in Promemo"},
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
    EXPECT_TRUE(shown.startsWith(u"Guida non disponibile") && shown.contains(u"alert.htm")) << shown.toStdString();
}

TEST(DeliveredFiles, SettingsHoldTheInitialValuesWithCrLfLineEnds)
{
    const QByteArray ini = readWholeFile(kData.filePath(QStringLiteral("Notino.ini")));
    ASSERT_TRUE(ini.endsWith("\r\n"));
    EXPECT_EQ(std::pair(ini.count('\n'), ini.count('\r')), std::pair(ini.count("\r\n"), ini.count("\r\n")));
    // One key of each section; the address book asks in lower case.
    for (const auto &[section, key, value] :
         {std::tuple{u"Opzioni", u"showelenco", u"1"}, {u"Versione", u"codvers", u"1.6"},
          {u"Calendario", u"holycheck", u"1"}, {u"Rubrica", u"colsfondo", u"1"}})
        EXPECT_EQ(findProfileValue(ini, section, key).value_or(QString()).trimmed(), value);
}

} // namespace
