// Notes whose alerts fire together, each its own real program on a private X server: every
// fired note shows, the first in the middle, the others a title bar down and right of the one
// before, none on top of another.

#include <QProcess>
#include <QRect>

#include <algorithm>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "common/daynumber.h"
#include "common/notefile.h"
#include "common/notename.h"
#include "platform/windowregistry.h"
#include "tests/support/programfolder.h"
#include "tests/support/xsession.h"

namespace promemo {
namespace {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

constexpr QSize kScreen(1280, 800);
// The normal note's frame, in pixels, and where the middle puts it.
constexpr QSize kNoteSize(193, 140);
const QPoint kMiddle((kScreen.width() - kNoteSize.width()) / 2, (kScreen.height() - kNoteSize.height()) / 2);
constexpr int kStep = 24;

class FiredPlaces : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!QFile::exists(test::kFakeTime))
            GTEST_SKIP() << "libfaketime is not installed";
        if (const QString tool = test::XSession::missingTool(); !tool.isEmpty())
            GTEST_SKIP() << tool.toStdString() << " is not installed";
        ASSERT_TRUE(x.start(kScreen)) << "Xvfb does not start";
        folder.installSuite({{u"Kalvo"_s, u"" KALVO_PATH ""_s}},
                            "[Opzioni]\r\nsound=0\r\nnotifiche=0\r\n");
        // Notes end at once without the launcher's window: the test holds it.
        tray = registry.registerWindow(u"NotinoTray"_s);
        ASSERT_TRUE(tray);
    }

    void TearDown() override
    {
        for (const auto &note : notes) {
            const qint64 pid = note->processId();
            note->kill();
            note->waitForFinished(2000);
            // The clock's shared memory outlives a killed process.
            QFile::remove(u"/dev/shm/faketime_shm_%1"_s.arg(pid));
            QFile::remove(u"/dev/shm/sem.faketime_sem_%1"_s.arg(pid));
        }
        folder.killAll();
        if (HasFailure())
            x.report();
    }

    // `count` put-away notes of today whose alert, 09.59, has passed at 10.00, all opened at once.
    void openDueNotesTogether(int count)
    {
        const QDate day(2031, 3, 20);
        QProcessEnvironment environment = test::fakeTimeAt(u"@2031-03-20 10:00:00"_s);
        environment.insert(x.environment());
        QStringList names;
        for (int note = 0; note < count; ++note) {
            const QString name = *encodeNoteName({NoteState::PutAway, dayNumber(day), 'h', 599, 'n', 36000 + note});
            ASSERT_TRUE(writeNoteFile(folder.filePath(name), {u"Chiamare Anna %1"_s.arg(note), u"20/03/2031"_s,
                                                              u"09.59"_s, u"19/03/2031 18.00"_s}));
            names << name;
        }
        for (const QString &name : names) {
            notes.push_back(std::make_unique<QProcess>());
            folder.start(*notes.back(), u"Kalvo"_s, {name}, environment);
        }
        x.log(u"%1 notes started"_s.arg(count));
    }

    // The places of the visible notes, top-left first.
    QList<QPoint> places()
    {
        QList<QPoint> found;
        for (const QString &window : x.windows(u"^PromemoX$"_s)) {
            const QRect frame = x.geometry(window);
            EXPECT_EQ(frame.size(), kNoteSize);
            found << frame.topLeft();
        }
        std::ranges::sort(found, [](QPoint a, QPoint b) { return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x(); });
        return found;
    }

    // Every note fires and takes its own place: the middle, then one step down and right each.
    void expectEveryFiredNoteShows(int count)
    {
        QList<QPoint> expected;
        for (int place = 0; place < count; ++place)
            expected << kMiddle + QPoint(place * kStep, place * kStep);
        QList<QPoint> found;
        EXPECT_TRUE(test::waitFor([&] { return (found = places()) == expected; }, 20s))
            << "places: " << found.size() << " notes, "
            << std::count(found.begin(), found.end(), kMiddle) << " in the middle";
        for (const QPoint &place : found)
            EXPECT_TRUE(QRect(QPoint(0, 0), kScreen).contains(QRect(place, kNoteSize)));
        // Each fired: its file is shown, none put away any more.
        EXPECT_EQ(folder.files(u"o*.dat"_s), QStringList());
    }

    test::TemporaryProgramFolder folder;
    WindowRegistry registry{folder.path()};
    std::unique_ptr<RegisteredWindow> tray;
    test::XSession x;
    std::vector<std::unique_ptr<QProcess>> notes;
};

TEST_F(FiredPlaces, TwoNotesFiringTogetherLieApart)
{
    openDueNotesTogether(2);
    expectEveryFiredNoteShows(2);
}

TEST_F(FiredPlaces, SixNotesFiringTogetherEachShow)
{
    openDueNotesTogether(6);
    expectEveryFiredNoteShows(6);
}

} // namespace
} // namespace promemo
