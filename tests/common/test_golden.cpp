// Every stored format against a byte-exact sample in tests/data: readers give the values below,
// writers given those values give the sample back, so a fault shared by both sides shows.
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "addressbook/core/addressbook.h"
#include "common/archive.h"
#include "common/atomicfile.h"
#include "common/notefile.h"
#include "common/recurrences.h"
#include "common/settings.h"
#include "launcher/core/recurrenceentry.h"

using namespace promemo;

namespace {

QString golden(const QString &name)
{
    return QStringLiteral(PROMEMO_TEST_DATA "/") + name;
}

QByteArray goldenBytes(const QString &name)
{
    const QByteArray bytes = readWholeFile(golden(name));
    EXPECT_FALSE(bytes.isEmpty()) << name.toStdString();
    return bytes;
}

const QString kLongName = QString(QStringLiteral("Società ").repeated(13)).left(99) + u"à"_qs;

} // namespace

TEST(Golden, NoteFiles)
{
    // name on disk, name fields, content
    const QList<std::tuple<QString, NoteName, NoteContent>> cases = {
        {"n9835h0570n78244.dat",
         {NoteState::Shown, 9835, 'h', 570, 'n', 78244},
         {u"Chiamare Niccolò\r\nper la città: 5 € “subito”"_qs, "05/12/2026", "09.30",
          "05/12/2026 21.44"}},
        {"o10000k1439m86399.dat",
         {NoteState::PutAway, 10000, 'k', 1439, 'm', 86399},
         {u"ù"_qs, "19/05/2027", "23.59", "18/05/2027 08.05"}},
        {"n1000v0000s00000.dat",
         {NoteState::Shown, 1000, 'v', 0, 's', 0},
         {u"Perché no?"_qs, "27/09/2002", "", "26/09/2002 00.00"}},
    };
    for (const auto &[file, name, content] : cases) {
        SCOPED_TRACE(file.toStdString());
        EXPECT_EQ(decodeNoteName(file), name);
        EXPECT_EQ(readNoteFile(golden(file)), content);
        EXPECT_EQ(encodeNoteFile(content), goldenBytes(file));
    }

    // The calendar's writer puts a note away under exactly the sample's name and bytes.
    const QTemporaryDir dir;
    const auto &[file, name, content] = cases[1];
    EXPECT_EQ(NoteFiles{dir.path()}.create(name, content), file);
    EXPECT_EQ(readWholeFile(dir.filePath(file)), goldenBytes(file));
}

TEST(Golden, Archive)
{
    const QList<ArchiveRecord> records = {
        {"05/12/2026 09.30", u"Comprare il caffè\r\ne l’acqua “frizzante” – 2 €"_qs, "05/12/2026 21.44"},
        archiveRecordOf("31/12/2026", "", u"Già fatto: più tardi, però!"_qs, "30/12/2026 23.59"),
        {"01/01/2027 00.01", u"à"_qs, "29/02/2028 00.00"},
    };
    const ArchiveContents read = readArchiveFile(golden("archivio.dat"));
    EXPECT_EQ(read.status, ArchiveContents::Status::Read);
    EXPECT_EQ(read.records, records);

    // Saved oldest first, each in front of the others.
    const QTemporaryDir dir;
    const QString path = dir.filePath(kArchiveFileName);
    for (qsizetype i = records.size() - 1; i >= 0; --i)
        ASSERT_TRUE(prependToArchive(path, records[i]));
    EXPECT_EQ(readWholeFile(path), goldenBytes("archivio.dat"));
}

TEST(Golden, RecurrenceFiles)
{
    const QList<Recurrence> entered = {
        {"05/03", "01", "07", u"Onomastico di Niccolò"_qs},
        {"31/05", "06", "00", u"Rata “mutuo” da 450 €"_qs},
        {"31/08", "02", "40", u"Bollo auto, città di Forlì"_qs},
        {"15/11", "04", "12", u"Caffè con Anna – è così"_qs},
    };
    const QList<QStringList> dates = {{"05/03"},
                                      {"31/05", "31/07", "30/09", "30/11", "31/01", "31/03"},
                                      {"31/08", "28/02"},
                                      {"15/11", "15/02", "15/05", "15/08"}};
    QList<Recurrence> expanded;
    for (qsizetype i = 0; i < entered.size(); ++i) {
        for (const QString &date : dates[i])
            expanded.append({date, entered[i].perYear, entered[i].advance, entered[i].text});
    }
    EXPECT_EQ(readRecurrences(golden("rico.dat")), entered);
    EXPECT_EQ(readRecurrences(golden("ricf.dat")), expanded);

    // The editor writes from its list entries, in a common year.
    QList<Recurrence> fromEntries;
    for (const Recurrence &r : entered)
        fromEntries.append(recurrenceOfEntry(recurrenceEntry(r, 2027)));
    // (Entries that lost anything show in the bytes below.)
    const QTemporaryDir dir;
    ASSERT_TRUE(writeRecurrenceFiles(dir.path(), fromEntries, 2027));
    EXPECT_EQ(readWholeFile(dir.filePath("rico.dat")), goldenBytes("rico.dat"));
    EXPECT_EQ(readWholeFile(dir.filePath("ricf.dat")), goldenBytes("ricf.dat"));
}

TEST(Golden, SettingsFile)
{
    const Settings read(golden("Notino.ini"));
    EXPECT_EQ(std::tuple(read.noteColour(), read.textSize(), read.noteSize(), read.showList(), read.sound(),
                         read.appearanceCode(), read.sheetColour(), read.tabColour()),
              std::tuple(NoteColour::Cyan, TextSize::Medium, NoteSize::Medium, ShowList::Never, true, u"23"_qs, 7, 0));
    EXPECT_EQ(std::tuple(read.calendarCheck(CalendarCheck::SundaysInRed), read.calendarCheck(CalendarCheck::NoteDays),
                         read.calendarCheck(CalendarCheck::Recurrences)),
              std::tuple(true, false, true));
    EXPECT_EQ(QStringList({read.file().read(u"VERSIONE", u"numvers"), read.file().read(u"Versione", u"codvers"),
                           read.file().read(u"rubrica", u"coltasti")}),
              QStringList({u"1600"_qs, u"1.6"_qs, u"0"_qs}));

    // The delivered file holds only its comment; every program then writes its own keys.
    const QTemporaryDir dir;
    const Settings written(dir.filePath("Notino.ini"));
    const QByteArray sample = goldenBytes("Notino.ini");
    ASSERT_TRUE(writeFileAtomically(written.file().path(), sample.left(sample.indexOf('\n') + 1)));
    for (const WriteResult &result : {written.setNoteColour(NoteColour::Cyan), written.setTextSize(TextSize::Medium),
                                      written.setNoteSize(NoteSize::Medium), written.setShowList(ShowList::Never),
                                      written.setSound(true), written.writeVersion(),
                                      written.setCalendarCheck(CalendarCheck::SundaysInRed, true),
                                      written.setCalendarCheck(CalendarCheck::NoteDays, false),
                                      written.setCalendarCheck(CalendarCheck::Recurrences, true),
                                      written.setAddressBookColours(7, 0)})
        EXPECT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(readWholeFile(written.file().path()), sample);
}

TEST(Golden, AddressBook)
{
    using C = rubrica::TextColour;
    rubrica::Sheet first{}, last{};
    first[0] = {{u"Caffè Città & Più"_qs, true, false, C::DarkRed},
                {u"+39 0543 123456 €"_qs, false, true, C::Magenta}};
    first[1] = {{u"  Anna – Forlì"_qs, true, true, C::Blue}, {"", false, false, C::DarkBlue}};
    first[43] = {{kLongName, true, true, C::Red},
                 {QString("0123456789").repeated(3) + u"012345678€"_qs, true, true, C::Black}};
    last[0] = {{}, {"112", true, false, C::Red}};
    last[43] = {{u"Zoë ultimo #"_qs}, {"999"}};

    const QTemporaryDir dir;
    const QString copy = dir.filePath("letto.dat");
    ASSERT_TRUE(QFile::copy(golden("rubri.dat"), copy));
    rubrica::DataFile reader;
    ASSERT_EQ(reader.open(copy), rubrica::DataFile::Opened::Existing);
    for (int sheet = 0; sheet < rubrica::kSheets; ++sheet) {
        rubrica::Sheet rows{};
        reader.readSheet(sheet, rows);
        EXPECT_EQ(rows, sheet == 0 ? first : sheet == rubrica::kSheets - 1 ? last : rubrica::Sheet{})
            << "sheet " << sheet;
    }

    rubrica::DataFile writer;
    const QString path = dir.filePath("rubri.dat");
    ASSERT_EQ(writer.open(path), rubrica::DataFile::Opened::Created);
    ASSERT_TRUE(writer.writeSheet(0, first));
    ASSERT_TRUE(writer.writeSheet(rubrica::kSheets - 1, last));
    writer.close();
    EXPECT_TRUE(readWholeFile(path) == goldenBytes("rubri.dat")); // too long to print
}
