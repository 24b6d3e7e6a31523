#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

#include "common/atomicfile.h"
#include "common/settingsfile.h"

using namespace promemo;

namespace {

// The delivered files as the project keeps them (the copies in a build's program folder change
// once programs run there).
const QDir kFolder(QStringLiteral(PROMEMO_DATA_FOLDER));

TEST(DeliveredFiles, SettingsHoldTheInitialValuesWithCrLfLineEnds)
{
    const QByteArray ini = readWholeFile(kFolder.filePath(QStringLiteral("Notino.ini")));
    ASSERT_TRUE(ini.endsWith("\r\n"));
    EXPECT_EQ(ini.count('\n'), ini.count("\r\n")) << "every line ends with CR LF";
    EXPECT_EQ(ini.count('\r'), ini.count("\r\n")) << "no lone CR";
    // One key of each section; the address book asks in lower case.
    for (const auto &[section, key, value] :
         {std::tuple{u"Opzioni", u"showelenco", u"1"}, {u"Versione", u"codvers", u"1.6"},
          {u"Calendario", u"holycheck", u"1"}, {u"Rubrica", u"colsfondo", u"1"}})
        EXPECT_EQ(findProfileValue(ini, section, key).value_or(QString()).trimmed(), value);
}

TEST(DeliveredFiles, EveryIconLoadsAtItsSize)
{
    for (const char *name : {"tray-giallo", "tray-azzurro", "tray-verde", "promemo"}) {
        for (const int size : {16, 22, 32, 48, 64}) {
            const QString file = QStringLiteral("icons/%1-%2.png").arg(name).arg(size);
            EXPECT_EQ(QImage(kFolder.filePath(file)).size(), QSize(size, size)) << name << size;
        }
    }
}

} // namespace
