#include <QDir>
#include <QImage>
#include <QtEndian>

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

TEST(DeliveredFiles, TheSoundIsAShortPcmWave)
{
    const QByteArray wav = readWholeFile(kFolder.filePath(QStringLiteral("suono.wav")));
    const auto le32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(wav.data() + at); };
    ASSERT_TRUE(wav.size() >= 44 && wav.startsWith("RIFF") && wav.mid(8, 8) == "WAVEfmt ");
    EXPECT_EQ(le32(4), quint32(wav.size() - 8));
    EXPECT_EQ(le32(20) & 0xffff, 1u) << "PCM";
    const qsizetype data = wav.indexOf("data", 36);
    ASSERT_TRUE(data > 0 && data + 8 + qsizetype(le32(data + 4)) <= wav.size());
    // Its length over the bytes per second.
    const double seconds = double(le32(data + 4)) / le32(28);
    EXPECT_TRUE(seconds >= 0.4 && seconds <= 1.2) << seconds;
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
