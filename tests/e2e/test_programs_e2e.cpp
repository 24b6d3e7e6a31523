// The real Kalvo and Elenko in a temporary program folder, beside a stand-in for the launcher's
// tray, as the launcher would start them.

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include "addressbook/core/addressbook.h"
#include "common/atomicfile.h"
#include "common/notefile.h"
#include "common/notename.h"
#include "platform/windowregistry.h"
#include "tests/support/programfolder.h"
#include "tests/support/registryrequests.h"

namespace promemo {
namespace {

using namespace Qt::StringLiterals;

const QString kNote = u"n9835h0000n00001.dat"_s;
const NoteContent kContent{u"Spesa: pane, latte e caffè"_s, u"05/12/2026"_s, {}, u"05/12/2026 10.00"_s};

class Programs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.install(u"Kalvo"_s, u"" KALVO_PATH ""_s));
        ASSERT_TRUE(folder.install(u"Elenko"_s, u"" ELENKO_PATH ""_s));
        ASSERT_TRUE(writeNoteFile(folder.filePath(kNote), kContent));
    }

    void start(const QString &program, const QStringList &arguments = {})
    {
        folder.start(process, program, arguments);
    }
    bool ends() { return test::waitFor([this] { return process.state() == QProcess::NotRunning; }); }
    // The launcher's tray, which the programs look for at start.
    void addTray()
    {
        tray = registry.registerWindow(u"NotinoTray"_s);
        ASSERT_TRUE(tray);
    }
    // The launcher ending: a close request, which ends the program without a question.
    void closeFromOutside(const QString &caption)
    {
        EXPECT_TRUE(test::postClose(registry, caption));
        ASSERT_TRUE(ends());
        EXPECT_EQ(process.exitCode(), 0);
    }

    test::TemporaryProgramFolder folder;
    WindowRegistry registry{folder.path()};
    std::unique_ptr<RegisteredWindow> tray;
    QProcess process;
};

TEST_F(Programs, ANoteEndsSilentlyWithoutTheLauncherOrWithAnArgumentThatIsNoNoteName)
{
    start(u"Kalvo"_s, {kNote});
    ASSERT_TRUE(ends());
    EXPECT_EQ(folder.files(), QStringList{kNote});

    addTray();
    ASSERT_TRUE(QFile::copy(folder.filePath(kNote), folder.filePath(u"altro.dat"_s)));
    for (const QString &argument : {u"altro.dat"_s, u"../"_s + kNote, folder.filePath(kNote)}) {
        start(u"Kalvo"_s, {argument});
        ASSERT_TRUE(ends()) << argument.toStdString();
        EXPECT_EQ(folder.files().size(), 2) << argument.toStdString();
    }
}

TEST_F(Programs, ANoteReopensSavesWithoutArchivingAndLeavesItsLastFileWhenClosedFromOutside)
{
    addTray();
    start(u"Kalvo"_s, {kNote});
    ASSERT_TRUE(test::waitFor([&] { return test::exists(registry, u"PromemoX"_s); }));

    // The file read is gone; the save wrote the same note under a new stamp, not archived.
    ASSERT_TRUE(test::waitFor([&] { return !folder.files().contains(kNote); }));
    const QStringList saved = folder.files();
    ASSERT_EQ(saved.size(), 1) << saved.join(u' ').toStdString();
    const auto name = decodeNoteName(saved.front());
    ASSERT_TRUE(name);
    EXPECT_EQ(*name, (NoteName{NoteState::Shown, 9835, 'h', 0, 'n', name->stamp}));
    EXPECT_EQ(readNoteFile(folder.filePath(saved.front())), kContent);

    // The launcher ending closes every note: no save, the last file stays shown.
    closeFromOutside(u"PromemoX"_s);
    EXPECT_EQ(folder.files(), saved);
}

TEST_F(Programs, TheAddressBookMendsAShortFileAndClosesOnRequest)
{
    // A file cut after two and a half records keeps them and gains the rest.
    rubrica::Row anna{{u"Anna"_s}, {u"06 555"_s}};
    const QByteArray head = rubrica::encodeRecord(anna) + rubrica::blankRecord()
                            + rubrica::encodeRecord(anna).left(70);
    folder.put(u"rubri.dat"_s, head);

    addTray();
    start(u"Elenko"_s);
    ASSERT_TRUE(test::waitFor([&] { return test::exists(registry, u" Rubrica di Promemo"_s); }));
    const QByteArray mended = folder.read(u"rubri.dat"_s);
    EXPECT_EQ(mended.size(), rubrica::kFileSize);
    EXPECT_TRUE(mended.startsWith(head));

    // Nothing edited: the file unchanged.
    closeFromOutside(u" Rubrica di Promemo"_s);
    EXPECT_EQ(folder.read(u"rubri.dat"_s), mended);
}

} // namespace
} // namespace promemo
