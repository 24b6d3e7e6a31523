#pragma once

#include <chrono>
#include <iostream>

#include <QElapsedTimer>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QStringList>

#include "tests/support/programfolder.h"

// A private X server (Xvfb) for end-to-end tests, driven by xdotool as a user would, with a log
// of every step to print when a test fails. The build finds the tools (PROMEMO_XVFB,
// PROMEMO_XDOTOOL, PROMEMO_FAKETIME: empty when missing).
namespace promemo::test {

inline const QString kXvfb = QStringLiteral(PROMEMO_XVFB);
inline const QString kXdotool = QStringLiteral(PROMEMO_XDOTOOL);
inline const QString kFakeTime = QStringLiteral(PROMEMO_FAKETIME);

// The environment of a program whose clock (libfaketime) starts at `start`, "@2031-03-20 10:00:00".
inline QProcessEnvironment fakeTimeAt(const QString &start)
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("LD_PRELOAD"), kFakeTime);
    environment.insert(QStringLiteral("FAKETIME"), start);
    environment.insert(QStringLiteral("DONT_FAKE_MONOTONIC"), QStringLiteral("1"));
    return environment;
}

class XSession
{
public:
    // Empty when everything the session needs is installed, else what is missing.
    static QString missingTool()
    {
        return kXvfb.isEmpty() ? QStringLiteral("Xvfb") : kXdotool.isEmpty() ? QStringLiteral("xdotool") : QString();
    }

    // Xvfb on the first free display number, which it reports on its standard output. Without
    // -noreset it resets whenever its last client leaves and refuses the next client meanwhile.
    bool start(QSize screen)
    {
        elapsed.start();
        display.setStandardErrorFile(QProcess::nullDevice());
        display.start(kXvfb,
                      {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                       QStringLiteral("0"),
                       QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height()),
                       QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-noreset")});
        if (!display.waitForStarted(5000))
            return false;
        QByteArray number;
        QElapsedTimer waited;
        waited.start();
        while (!number.contains('\n') && waited.elapsed() < 10000) {
            display.waitForReadyRead(100);
            number += display.readAllStandardOutput();
        }
        if (!number.contains('\n'))
            return false;
        name = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
        log(QStringLiteral("Xvfb on display ") + name);
        return true;
    }

    // The X server gone at once, as when it crashes or the session ends: its clients lose it.
    void crash()
    {
        display.kill();
        display.waitForFinished(3000);
        log(QStringLiteral("Xvfb killed"));
    }

    ~XSession()
    {
        display.terminate();
        if (!display.waitForFinished(3000))
            display.kill();
    }

    // The environment of a program shown on this display.
    QProcessEnvironment environment() const
    {
        QProcessEnvironment result;
        result.insert(QStringLiteral("DISPLAY"), name);
        result.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        return result;
    }

    // xdotool on this display: its standard output, empty when it fails.
    QString xdotool(const QStringList &commands)
    {
        QProcess process;
        auto all = QProcessEnvironment::systemEnvironment();
        all.insert(QStringLiteral("DISPLAY"), name);
        process.setProcessEnvironment(all);
        process.start(kXdotool, commands);
        const bool finished = process.waitForFinished(5000);
        const QString output = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
        const bool failed = !finished || process.exitCode() != 0;
        log(QStringLiteral("xdotool %1 -> %2")
                .arg(commands.join(QLatin1Char(' ')),
                     failed ? QStringLiteral("failed") : output.simplified().left(100)));
        return failed ? QString() : output;
    }
    void type(const QString &text) { xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("15"), text}); }
    void key(const QString &keys) { xdotool({QStringLiteral("key"), keys}); }

    // The visible windows whose name (or, with `by` "--class", class) matches `pattern`.
    QStringList windows(const QString &pattern, const QString &by = QStringLiteral("--name"))
    {
        return xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), by, pattern})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    QString waitForWindow(const QString &pattern, const QString &by = QStringLiteral("--name"))
    {
        QString found;
        waitFor([&] { return !(found = windows(pattern, by).value(0)).isEmpty(); },
                std::chrono::seconds(5));
        return found;
    }
    QRect geometry(const QString &window)
    {
        const QString shell = xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window});
        const auto value = [&shell](const QString &key) {
            const auto match = QRegularExpression(key + QStringLiteral("=(-?\\d+)")).match(shell);
            return match.hasMatch() ? match.captured(1).toInt() : -1;
        };
        return {value(QStringLiteral("X")), value(QStringLiteral("Y")), value(QStringLiteral("WIDTH")),
                value(QStringLiteral("HEIGHT"))};
    }
    bool hasFocus(const QString &window) { return xdotool({QStringLiteral("getwindowfocus")}) == window; }
    // Gives `window` the keyboard; false when it does not take it. Asked again while it has not:
    // xdotool fails now and then while other windows come and go.
    bool focus(const QString &window)
    {
        return waitFor([&] {
            xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
            return hasFocus(window);
        }, std::chrono::seconds(3));
    }
    // Repeats of the last line, as a wait polls, are counted rather than listed.
    void log(const QString &line)
    {
        if (line == lastStep) {
            ++repeats;
            return;
        }
        if (repeats > 0)
            steps << QStringLiteral("         (%1 times more)").arg(repeats);
        repeats = 0;
        lastStep = line;
        steps << QStringLiteral("%1 ms  %2").arg(elapsed.elapsed(), 6).arg(line);
    }
    // Every window's name and place, then the steps, on the error stream.
    void report()
    {
        if (!name.isEmpty()) {
            for (const QString &window : windows(QStringLiteral(".*")))
                xdotool({QStringLiteral("getwindowname"), window, QStringLiteral("getwindowgeometry"), window});
        }
        log({});
        std::cerr << "What the test did:\n";
        for (const QString &line : steps)
            std::cerr << "  " << line.toStdString() << '\n';
    }

    QString name;

private:
    QProcess display;
    QElapsedTimer elapsed;
    QStringList steps;
    QString lastStep;
    int repeats = 0;
};

} // namespace promemo::test
