#include <QDir>
#include <QFile>
#include <QImage>
#include <QtEndian>

#include <gtest/gtest.h>

#include "common/atomicfile.h"
#include "common/cp1252.h"
#include "common/settingsfile.h"

#include <cmath>

using namespace promemo;

namespace {

const QDir kFolder(QStringLiteral(PROMEMO_PROGRAM_FOLDER));

TEST(DeliveredSettings, HoldTheInitialValuesAsWindowsTextWithCrLf)
{
    const QByteArray ini = readWholeFile(kFolder.filePath(QStringLiteral("Notino.ini")));
    ASSERT_FALSE(ini.isEmpty());
    EXPECT_TRUE(ini.endsWith("\r\n"));
    EXPECT_EQ(ini.count('\n'), ini.count("\r\n")) << "every line ends with CR LF";
    EXPECT_EQ(ini.count('\r'), ini.count("\r\n")) << "no lone CR";
    EXPECT_EQ(cp1252::encode(cp1252::decode(ini)), ini);

    struct Entry
    {
        const char16_t *section;
        const char16_t *key;
        const char16_t *value;
    };
    const Entry entries[] = {
        {u"Opzioni", u"colore", u"1"},      {u"Opzioni", u"fontsize", u"2"},
        {u"Opzioni", u"grandezza", u"1"},   {u"Opzioni", u"showelenco", u"1"},
        {u"Opzioni", u"sound", u"1"},       {u"Versione", u"numvers", u"1600"},
        {u"Versione", u"codvers", u"1.6"},  {u"Calendario", u"holycheck", u"1"},
        {u"Calendario", u"postcheck", u"1"}, {u"Calendario", u"rubrcheck", u"1"},
        // The address book asks in lower case.
        {u"Rubrica", u"coltasti", u"1"},    {u"Rubrica", u"colsfondo", u"1"},
    };
    for (const Entry &e : entries) {
        const auto value = findProfileValue(ini, e.section, e.key);
        ASSERT_TRUE(value.has_value()) << QString::fromUtf16(e.key).toStdString();
        EXPECT_EQ(value->trimmed(), QString::fromUtf16(e.value))
            << QString::fromUtf16(e.key).toStdString();
    }
}

quint32 le32(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}
quint16 le16(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

TEST(DeliveredSound, IsAShortAudibleMono16BitWave)
{
    const QByteArray wav = readWholeFile(kFolder.filePath(QStringLiteral("suono.wav")));
    ASSERT_GE(wav.size(), 44);
    EXPECT_EQ(wav.left(4), "RIFF");
    EXPECT_EQ(le32(wav, 4), quint32(wav.size() - 8));
    EXPECT_EQ(wav.mid(8, 4), "WAVE");

    // Walk the chunks: fmt first, then data.
    qsizetype at = 12;
    quint32 rate = 0;
    QByteArray samples;
    while (at + 8 <= wav.size()) {
        const QByteArray id = wav.mid(at, 4);
        const quint32 size = le32(wav, at + 4);
        ASSERT_LE(at + 8 + qsizetype(size), wav.size()) << id.toStdString();
        if (id == "fmt ") {
            EXPECT_EQ(le16(wav, at + 8), 1) << "PCM";
            EXPECT_EQ(le16(wav, at + 10), 1) << "mono";
            rate = le32(wav, at + 12);
            EXPECT_EQ(le16(wav, at + 22), 16) << "bits per sample";
        } else if (id == "data") {
            samples = wav.mid(at + 8, size);
        }
        at += 8 + size + (size & 1);
    }
    ASSERT_GT(rate, 0u);
    ASSERT_FALSE(samples.isEmpty());
    const double seconds = double(samples.size() / 2) / rate;
    EXPECT_GE(seconds, 0.4);
    EXPECT_LE(seconds, 1.2);

    int peak = 0;
    for (qsizetype i = 0; i + 1 < samples.size(); i += 2)
        peak = std::max(peak, std::abs(int(qFromLittleEndian<qint16>(samples.constData() + i))));
    EXPECT_GT(peak, 3000) << "audible";
    EXPECT_LT(peak, 32767) << "not clipped";
    // Starts and ends quietly: no click.
    EXPECT_LT(std::abs(int(qFromLittleEndian<qint16>(samples.constData()))), 200);
    EXPECT_LT(std::abs(int(qFromLittleEndian<qint16>(samples.constData() + samples.size() - 2))),
              200);
}

TEST(DeliveredIcons, EveryTrayColourHasSmallAndLargeIconsWithTransparentCorners)
{
    for (const char *colour : {"giallo", "azzurro", "verde"}) {
        for (const int size : {16, 22, 32, 48, 64}) {
            const QString name = QStringLiteral("icons/tray-%1-%2.png")
                                     .arg(QString::fromLatin1(colour))
                                     .arg(size);
            const QImage icon(kFolder.filePath(name));
            ASSERT_FALSE(icon.isNull()) << name.toStdString();
            EXPECT_EQ(icon.size(), QSize(size, size)) << name.toStdString();
            EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0) << name.toStdString();
        }
    }
    EXPECT_FALSE(QImage(kFolder.filePath(QStringLiteral("icons/promemo-64.png"))).isNull());
}

} // namespace
