// Every alert reaches its user, through the real launcher, watcher and notes: across midnight, a
// sleep, a suite that was not running, a clock set back, the two days the clocks change, and the
// snooze. The programs share one faked clock that the test moves; a sleep is every
// process stopped while the clock moves on. What fired is what the notification service heard.

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <deque>
#include <memory>

#include "common/datetexts.h"
#include "common/daynumber.h"
#include "common/notefile.h"
#include "common/notename.h"
#include "platform/windowregistry.h"
#include "tests/support/programfolder.h"
#include "tests/support/registryrequests.h"
#include "tests/support/suitesession.h"

namespace promemo {
namespace {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;
using Notified = test::NotificationService::Notified;

const QDate kToday(2031, 5, 14);
const QString kSnooze = u"Rimanda di 10 minuti"_s;

QDateTime local(QDate day, QTime time) { return QDateTime(day, time); }
// Alert minutes of a note file; an invalid time is no alert.
int minutesOf(QTime alert) { return alert.isValid() ? alert.hour() * 60 + alert.minute() : 0; }
// A moment of the doubled hour in autumn, told apart by its UTC time.
QDateTime fromUtc(QDate day, QTime time) { return QDateTime(day, time, Qt::UTC).toLocalTime(); }

class AlertsAcrossTime : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!test::SuiteClock::available())
            GTEST_SKIP() << "libfaketime is not installed";
        if (!test::NotificationService::available())
            GTEST_SKIP() << "dbus-daemon is not installed";
        ASSERT_TRUE(service.start()) << service.error().toStdString();
        folder.installSuite({{u"Notino"_s, u"" NOTINO_PATH ""_s}, {u"Vigilo"_s, u"" VIGILO_PATH ""_s},
                             {u"Kalvo"_s, u"" KALVO_PATH ""_s}, {u"Kirmo"_s, u"" KIRMO_PATH ""_s}},
                            "[Opzioni]\r\nshowelenco=4\r\nsound=0\r\nnotifiche=1\r\n");
    }

    void TearDown() override
    {
        if (HasFailure()) {
            std::cerr << "The notification service heard:\n" << calls() << "\nNote files: "
                      << folder.files().join(u' ').toStdString() << "\nSuite clock: "
                      << clock.now().toString(u"dd/MM/yyyy HH:mm:ss t"_s).toStdString() << '\n';
            for (const qint64 pid : folder.running())
                std::cerr << "running: " << QFile::symLinkTarget(u"/proc/%1/exe"_s.arg(pid)).section(u'/', -1).toStdString() << '\n';
            std::cerr << "Notino's messages:\n" << notino.readAllStandardError().right(4000).toStdString();
        }
        // A program that did not pass the clock's shared memory on made its own.
        for (const qint64 pid : folder.running())
            clock.adopt(pid);
        folder.killAll();
        notino.waitForFinished(3000);
        for (const auto &note : notes)
            note->waitForFinished(3000);
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment = clock.environment();
        environment.insert(service.environment());
        return environment;
    }
    // A put-away note of `day` with an alert at `alert` (none when invalid); its text, which the
    // notification's body carries, is `text`.
    QString putAway(QDate day, QTime alert, const QString &text)
    {
        const auto name = encodeNoteName({NoteState::PutAway, dayNumber(day), 'h', minutesOf(alert), 'n',
                                          40000 + ++m_stamp});
        EXPECT_TRUE(name);
        EXPECT_TRUE(writeNoteFile(folder.filePath(*name),
                                  {text, dateText(day), alert.isValid() ? timeText(alert) : QString(),
                                   dateText(day.addDays(-1)) + u" 18.00"_s}));
        return name.value_or(QString());
    }

    // The launcher, started when the suite's clock says `at`.
    void startLauncher(const QDateTime &at)
    {
        clock.setClock(at);
        folder.start(notino, u"Notino"_s, {}, environment());
        clock.adopt(notino.processId());
        ASSERT_TRUE(test::waitFor([&] { return test::exists(registry, u"NotinoTray"_s); }, 5s))
            << "the launcher did not start";
    }
    // A watcher waiting, as before a sleep: one that has a note to start may end at once.
    void waitForWatcher()
    {
        ASSERT_TRUE(test::waitFor([&] { return test::exists(registry, u"NotinoControl"_s); }, 12s))
            << "no watcher runs";
    }
    // A note program opened on `name`, as the list or the watcher opens it.
    void startNote(const QString &name)
    {
        notes.push_back(std::make_unique<QProcess>());
        folder.start(*notes.back(), u"Kalvo"_s, {name}, environment());
        clock.adopt(notes.back()->processId());
    }

    std::string calls() const { return service.calls(clock).toStdString(); }
    // Until `count` notifications for `text` came, at most `bound`.
    bool waitForNotified(const QString &text, int count, std::chrono::milliseconds bound)
    {
        return test::waitFor([&] { return service.notifiedFor(text).size() >= count; }, bound);
    }
    // Nothing more is notified until the suite's clock passes `until` (bounded by 30 s).
    void expectQuietUntil(const QDateTime &until)
    {
        const int before = int(service.notified().size());
        test::waitFor([&] { return service.notified().size() > before || clock.now() > until; }, 30s);
        EXPECT_EQ(service.notified().size(), before)
            << "notified again before " << until.toString(u"HH:mm:ss t"_s).toStdString() << ":\n" << calls();
    }
    // The note files of `day` with the alert at `alert`, put away or shown.
    QStringList filesOf(QDate day, QTime alert) const
    {
        QStringList found = folder.files();
        found.removeIf([&](const QString &file) {
            const auto name = decodeNoteName(file);
            return !name || name->day != dayNumber(day) || name->alertMinutes != minutesOf(alert);
        });
        return found;
    }
    bool closed(uint id) const { return service.closed().contains(id); }

    // A missed alert says so, and the moment it was for; one on time is the note's date and
    // alert time, as ever.
    static void expectMissed(const Notified &call, const QString &alertTime)
    {
        EXPECT_TRUE(call.summary.contains(u"mancato"_s, Qt::CaseInsensitive) && call.summary.contains(alertTime))
            << "a missed alert for " << alertTime.toStdString() << " is notified as \""
            << call.summary.toStdString() << '"';
    }
    static void expectOnTime(const Notified &call, QDate day, const QString &alertTime)
    {
        EXPECT_EQ(call.summary, dateText(day) + u' ' + alertTime);
    }

    test::SuiteClock clock;
    test::NotificationService service;
    test::TemporaryProgramFolder folder;
    WindowRegistry registry{folder.path()};
    QProcess notino;
    std::deque<std::unique_ptr<QProcess>> notes;
    int m_stamp = 0;
};

// Asleep from 23.45 to 00.10 with a put-away note for 23.50: it fires within 15 seconds of the
// wake, once, as a missed alert, and its file is kept.
TEST_F(AlertsAcrossTime, ANoteDueWhileTheMachineSleptAcrossMidnightFiresAtTheWake)
{
    const QString text = u"Spegnere il forno"_s;
    putAway(kToday, QTime(23, 50), text);
    startLauncher(local(kToday, QTime(23, 45)));
    waitForWatcher();
    test::suspend(folder, [&] { clock.setClock(local(kToday.addDays(1), QTime(0, 10))); });

    ASSERT_TRUE(waitForNotified(text, 1, 15s)) << "nothing fired within 15 s of the wake:\n" << calls();
    expectMissed(service.notifiedFor(text).front(), u"23.50"_s);
    EXPECT_FALSE(filesOf(kToday, QTime(23, 50)).isEmpty()) << "the note's file is gone";
    expectQuietUntil(clock.now().addSecs(10));
    EXPECT_EQ(service.notifiedFor(text).size(), 1);
}

// Six put-away notes of 23.50 to 23.55 and the suite started at 23.59.40: all six fire within
// 30 seconds, each once, though midnight comes meanwhile.
TEST_F(AlertsAcrossTime, SixNotesDueBeforeMidnightAllFireThoughMidnightComes)
{
    QStringList texts;
    for (int i = 0; i < 6; ++i) {
        texts << u"Promemoria numero %1"_s.arg(i + 1);
        putAway(kToday, QTime(23, 50 + i), texts.back());
    }
    startLauncher(local(kToday, QTime(23, 59, 40)));
    const auto firedCount = [&] {
        return std::count_if(texts.cbegin(), texts.cend(),
                             [&](const QString &text) { return !service.notifiedFor(text).isEmpty(); });
    };
    const QDateTime afterMidnight = local(kToday.addDays(1), QTime(0, 0, 5));
    test::waitFor([&] { return firedCount() == 6 && clock.now() > afterMidnight; }, 30s);
    EXPECT_EQ(firedCount(), 6) << "fired within 30 s:\n" << calls();
    for (const QString &text : texts)
        EXPECT_LE(service.notifiedFor(text).size(), 1) << text.toStdString() << " fired more than once";
}

// A note shown with its alert at 23.58, the machine asleep from 23.50 to 00.10: it fires within
// 15 seconds of the wake, as a missed alert.
TEST_F(AlertsAcrossTime, AShownNoteFiresAfterASleepAcrossMidnight)
{
    const QString text = u"Chiudere il gas"_s;
    const QString name = putAway(kToday, QTime(23, 58), text);
    startLauncher(local(kToday, QTime(23, 50)));
    startNote(name);
    // Shown and armed: its file is a shown note's, and nothing has fired.
    ASSERT_TRUE(test::waitFor([&] {
        const QStringList files = filesOf(kToday, QTime(23, 58));
        return files.size() == 1 && files.front().startsWith(u'n');
    }, 5s)) << "the note did not show; files: " << folder.files().join(u' ').toStdString();
    EXPECT_TRUE(service.notified().isEmpty()) << calls();
    test::suspend(folder, [&] { clock.setClock(local(kToday.addDays(1), QTime(0, 10))); });

    ASSERT_TRUE(waitForNotified(text, 1, 15s)) << "the shown note did not fire within 15 s of the wake:\n" << calls();
    expectMissed(service.notifiedFor(text).front(), u"23.58"_s);
}

// The suite starts at 10.00 after notes fell due at 18.00 yesterday and 08.00 today: both fire
// within 30 seconds as missed alerts, each once.
TEST_F(AlertsAcrossTime, NotesThatFellDueWhileTheSuiteWasNotRunningFireOnceAtItsStart)
{
    const QString yesterday = u"Pagare la bolletta"_s;
    const QString morning = u"Telefonare al medico"_s;
    putAway(kToday.addDays(-1), QTime(18, 0), yesterday);
    putAway(kToday, QTime(8, 0), morning);
    startLauncher(local(kToday, QTime(10, 0)));

    const bool both = test::waitFor([&] {
        return !service.notifiedFor(yesterday).isEmpty() && !service.notifiedFor(morning).isEmpty();
    }, 30s);
    EXPECT_TRUE(both) << "yesterday's 18.00 fired " << service.notifiedFor(yesterday).size()
                      << " times, today's 08.00 " << service.notifiedFor(morning).size() << " times:\n" << calls();
    expectQuietUntil(clock.now().addSecs(15));
    EXPECT_EQ(service.notifiedFor(yesterday).size(), 1) << calls();
    EXPECT_EQ(service.notifiedFor(morning).size(), 1) << calls();
    for (const Notified &call : service.notifiedFor(yesterday))
        expectMissed(call, u"18.00"_s);
    for (const Notified &call : service.notifiedFor(morning))
        expectMissed(call, u"08.00"_s);
}

// The note list, opened at the start, with notes of yesterday: the one whose alert never fired
// is not deleted as past but fires, once; the one without alert is deleted as ever.
TEST_F(AlertsAcrossTime, TheNoteListStartsAnUnfiredNoteOfYesterdayAndDeletesOnlyThePastOnes)
{
    folder.put(u"Notino.ini"_s, folder.read(u"Notino.ini"_s).replace("showelenco=4", "showelenco=1"));
    const QDate yesterday = kToday.addDays(-1);
    const QString unfired = u"Portare la macchina dal meccanico"_s;
    putAway(yesterday, QTime(18, 0), unfired);
    putAway(yesterday, QTime(), u"Comprare il pane"_s);
    startLauncher(local(kToday, QTime(10, 0)));

    EXPECT_TRUE(waitForNotified(unfired, 1, 30s)) << "yesterday's unfired 18.00 did not fire:\n" << calls();
    EXPECT_FALSE(filesOf(yesterday, QTime(18, 0)).isEmpty()) << "yesterday's unfired note was deleted";
    EXPECT_TRUE(test::waitFor([&] { return filesOf(yesterday, QTime()).isEmpty(); }, 5s))
        << "yesterday's note without alert was kept";
    expectQuietUntil(clock.now().addSecs(10));
    EXPECT_LE(service.notifiedFor(unfired).size(), 1) << "fired more than once";
}

// A note fires at 10.00, on time; the clock is set back before 10.00 and runs past it again: no
// second alert.
TEST_F(AlertsAcrossTime, AClockSetBackDoesNotFireAnAlertTwice)
{
    const QString text = u"Ritirare la raccomandata"_s;
    putAway(kToday, QTime(10, 0), text);
    startLauncher(local(kToday, QTime(9, 59, 55)));
    ASSERT_TRUE(waitForNotified(text, 1, 25s)) << "the 10.00 alert did not fire:\n" << calls();
    expectOnTime(service.notifiedFor(text).front(), kToday, u"10.00"_s);

    clock.setClock(local(kToday, QTime(9, 59, 53)));
    expectQuietUntil(local(kToday, QTime(10, 0, 12)));
}

// Spring forward (Europe/Rome, 28/03/2027): 02.00 is 03.00, so an alert for 02.30 is due when the
// clocks reach 03.00, and then it is on time.
TEST_F(AlertsAcrossTime, AnAlertInTheSkippedHourFiresAtThreeOnTheDayClocksGoForward)
{
    const QDate day(2027, 3, 28);
    const QString text = u"Ora legale"_s;
    putAway(day, QTime(2, 30), text);
    startLauncher(local(day, QTime(1, 59, 50)));
    const QDateTime three = local(day, QTime(3, 0));
    ASSERT_EQ(three.toSecsSinceEpoch() - local(day, QTime(1, 59, 50)).toSecsSinceEpoch(), 10) << "no DST in TZ";

    ASSERT_TRUE(waitForNotified(text, 1, 25s)) << "the 02.30 alert did not fire by 03.00.15:\n" << calls();
    const Notified call = service.notifiedFor(text).front();
    const QDateTime fired = clock.at(call.received);
    EXPECT_GE(fired, three) << "fired at " << fired.toString(u"HH:mm:ss t"_s).toStdString();
    EXPECT_LE(fired, three.addSecs(15)) << "fired at " << fired.toString(u"HH:mm:ss t"_s).toStdString();
    expectOnTime(call, day, u"02.30"_s);
}

// Fall back (31/10/2027): 02.30 comes twice, and the alert fires at one of them, once.
TEST_F(AlertsAcrossTime, AnAlertInTheDoubledHourFiresOnceOnTheDayClocksGoBack)
{
    const QDate day(2027, 10, 31);
    const QString text = u"Ora solare"_s;
    putAway(day, QTime(2, 30), text);
    const QDateTime summer = fromUtc(day, QTime(0, 29, 55)); // 02.29.55 CEST
    const QDateTime winter = fromUtc(day, QTime(1, 29, 57)); // 02.29.57 CET
    ASSERT_EQ(summer.time().addSecs(2), winter.time()) << "no DST in TZ";
    startLauncher(summer);
    test::waitFor([&] { return !service.notifiedFor(text).isEmpty(); }, 20s);
    // An hour on, in a moment: the second 02.30 passes.
    clock.setClock(winter);
    const QDateTime after = fromUtc(day, QTime(1, 30, 12));
    test::waitFor([&] { return service.notifiedFor(text).size() > 1 || clock.now() > after; }, 30s);
    ASSERT_EQ(service.notifiedFor(text).size(), 1) << "the 02.30 alert fired not once in the doubled hour:\n"
                                                    << calls();
    expectOnTime(service.notifiedFor(text).front(), day, u"02.30"_s);
}

// "Rimanda di 10 minuti" on a fired note's notification: the notification goes, the note's alert
// is ten minutes from then and saved, and it fires again when they have passed.
TEST_F(AlertsAcrossTime, TheSnoozeActionFiresTheNoteAgainTenMinutesLater)
{
    const QString text = u"Togliere la torta dal forno"_s;
    const QString name = putAway(kToday, QTime(10, 0), text);
    startLauncher(local(kToday, QTime(9, 59, 58)));
    startNote(name);
    ASSERT_TRUE(waitForNotified(text, 1, 15s)) << "the note did not fire:\n" << calls();
    const Notified first = service.notifiedFor(text).front();
    const QString key = first.actionKey(kSnooze);
    ASSERT_FALSE(key.isEmpty()) << "no \"" << kSnooze.toStdString() << "\" among the actions:\n" << calls();

    const QDateTime snoozed = clock.now();
    service.invoke(first.id, key);
    EXPECT_TRUE(test::waitFor([&] { return closed(first.id); }, 5s))
        << "the snoozed notification stays:\n" << calls();
    // Saved, shown, with the new alert: ten minutes from the snooze, to the minute.
    const QTime later = snoozed.addSecs(600).time();
    const QTime expected(later.hour(), later.minute());
    EXPECT_TRUE(test::waitFor([&] {
        const QStringList files = filesOf(kToday, expected);
        const auto content = files.isEmpty() ? std::nullopt : readNoteFile(folder.filePath(files.front()));
        return content && content->alertTime == timeText(expected) && content->text == text;
    }, 5s)) << "no note file with the alert at " << timeText(expected).toStdString() << ": "
            << folder.files().join(u' ').toStdString();
    EXPECT_EQ(service.notifiedFor(text).size(), 1) << "fired again at once:\n" << calls();

    clock.move(600s);
    ASSERT_TRUE(waitForNotified(text, 2, 15s)) << "the snoozed note did not fire ten minutes on:\n" << calls();
}

} // namespace
} // namespace promemo
