// What the user wrote on a note survives the suite's own hazards, tried with the real launcher and
// notes on a private X server, driven by the keyboard: a paste after the copying note has gone,
// a launcher killed and started again, a save on a full disk.

#include <QFile>
#include <QProcess>

#include <functional>

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include "common/notefile.h"
#include "common/notename.h"
#include "platform/windowregistry.h"
#include "tests/support/programfolder.h"
#include "tests/support/xsession.h"

namespace promemo {
namespace {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

class NoteSafety : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (const QString tool = test::XSession::missingTool(); !tool.isEmpty())
            GTEST_SKIP() << tool.toStdString() << " is not installed";
        ASSERT_TRUE(x.start({1024, 768})) << "Xvfb does not start";
    }

    // The launcher with the programs these tests run; the others only need to be there.
    void startSuite()
    {
        folder.installSuite({{u"Notino"_s, u"" NOTINO_PATH ""_s}, {u"Kundo"_s, u"" KUNDO_PATH ""_s},
                             {u"Vigilo"_s, u"" VIGILO_PATH ""_s}},
                            "[Opzioni]\r\nshowelenco=4\r\nsound=0\r\n");
        startLauncher();
    }
    void startLauncher()
    {
        folder.start(notino, u"Notino"_s, {}, x.environment());
        // The tray stand-in shows once the start, with its put-away of shown notes, is done.
        ASSERT_FALSE(x.waitForWindow(u"^Notino$"_s, u"--class"_s).isEmpty()) << "no launcher";
    }
    void TearDown() override
    {
        folder.killAll();
        if (HasFailure())
            x.report();
    }

    // A new note in its own Kundo, with the keyboard; its window.
    QString newNote(QProcess &kundo)
    {
        folder.start(kundo, u"Kundo"_s, {u"12"_s}, x.environment());
        QString window;
        test::waitFor([&] {
            window = x.xdotool({u"search"_s, u"--onlyvisible"_s, u"--pid"_s,
                                QString::number(kundo.processId()), u"--name"_s, u"^PromemoX$"_s});
            return !window.isEmpty();
        }, 5s);
        EXPECT_TRUE(!window.isEmpty() && x.focus(window)) << "no note to type on";
        return window;
    }
    // The text of every note file, by name.
    QMap<QString, QString> notes() const
    {
        QMap<QString, QString> texts;
        for (const QString &name : folder.files(u"?*.dat"_s)) {
            if (decodeNoteName(name))
                texts[name] = readNoteFile(folder.filePath(name)).value_or(NoteContent{}).text;
        }
        return texts;
    }
    // Types `text` on the focused note and parks it with F10, which saves it.
    void typeAndPark(const QString &text, const QStringList &expected)
    {
        x.type(text);
        x.key(u"F10"_s);
        ASSERT_TRUE(test::waitFor([&] { return notesAre(expected); }, 5s)) << notesText();
    }
    bool notesAre(const QStringList &texts) const { return QStringList(notes().values()) == texts; }
    // Every note file, then every text.
    std::string notesText() const { return (notes().keys() + notes().values()).join(u", "_s).toStdString(); }

    test::XSession x;
    test::TemporaryProgramFolder folder;
    QProcess notino;
};

TEST_F(NoteSafety, TextCopiedFromANoteIsPastedAfterThatNoteHasEnded)
{
    startSuite();
    QProcess copying;
    newNote(copying);
    x.type(u"testo copiato"_s);
    x.key(u"F7"_s);
    // Deleted with F5 twice: the program that owned the clipboard is gone.
    x.key(u"F5"_s);
    x.key(u"F5"_s);
    ASSERT_TRUE(copying.waitForFinished(5000));

    QProcess pasting;
    newNote(pasting);
    x.type(u"nuovo "_s);
    x.key(u"ctrl+v"_s);
    x.key(u"F10"_s);
    EXPECT_TRUE(test::waitFor([&] { return notesAre({u"nuovo testo copiato"_s}); }, 5s)) << notesText();
    EXPECT_EQ(pasting.state(), QProcess::Running);
}

TEST_F(NoteSafety, ALauncherKilledAndStartedAgainLeavesOneFileForAnOpenNote)
{
    startSuite();
    QProcess kundo;
    const QString note = newNote(kundo);
    typeAndPark(u"primo"_s, {u"primo"_s});

    notino.kill();
    ASSERT_TRUE(notino.waitForFinished(5000));
    startLauncher();
    // The note still runs and holds its file: it is not put away under its feet.
    EXPECT_TRUE(notes().firstKey().startsWith(u'n')) << notesText();

    ASSERT_TRUE(x.focus(note));
    typeAndPark(u" e secondo"_s, {u"primo e secondo"_s});
}

// The program folder on a small file system of its own, filled up while a note is open.
TEST_F(NoteSafety, ASaveOnAFullDiskIsReportedAndTheNoteStaysOpenWithItsText)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a small file system needs root";
    // Private to this test process and the programs it starts, gone when they end.
    ASSERT_EQ(::unshare(CLONE_NEWNS), 0);
    ASSERT_EQ(::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr), 0);
    ASSERT_EQ(::mount("tmpfs", QFile::encodeName(folder.path()).constData(), "tmpfs", 0, "size=96m"), 0);
    startSuite();
    QProcess kundo;
    const QString note = newNote(kundo);
    typeAndPark(u"da salvare"_s, {u"da salvare"_s});

    QFile filler(folder.filePath(u"riempitivo"_s));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    const QByteArray block(64 * 1024, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
    filler.close();

    x.type(u" e altro"_s);
    const auto refused = [&](const char *what, const std::function<void()> &act) {
        SCOPED_TRACE(what);
        act();
        const QString message = x.waitForWindow(u"^ Promemo$"_s);
        ASSERT_FALSE(message.isEmpty()) << "no message";
        EXPECT_EQ(kundo.state(), QProcess::Running);
        EXPECT_TRUE(notesAre({u"da salvare"_s})) << notesText();
        x.focus(message);
        x.key(u"Return"_s);
        EXPECT_TRUE(test::waitFor([&] { return x.windows(u"^ Promemo$"_s).isEmpty(); }, 3s));
    };
    // Parked with F10, then put away at the right edge: neither ends the note or loses its text.
    refused("F10", [&] { x.key(u"F10"_s); });
    refused("put away", [&] {
        const QRect frame = x.geometry(note);
        const QString y = QString::number(frame.y() + 60);
        x.xdotool({u"mousemove"_s, QString::number(frame.x() + 90), y, u"mousedown"_s, u"1"_s});
        for (const char *toX : {"600", "900", "1015"})
            x.xdotool({u"mousemove"_s, QLatin1String(toX), y});
        x.xdotool({u"mouseup"_s, u"1"_s});
    });

    ASSERT_TRUE(filler.remove());
    ASSERT_TRUE(x.focus(note));
    x.key(u"F10"_s);
    EXPECT_TRUE(test::waitFor([&] { return notesAre({u"da salvare e altro"_s}); }, 5s)) << notesText();
    ::umount2(QFile::encodeName(folder.path()).constData(), MNT_DETACH);
}

} // namespace
} // namespace promemo
