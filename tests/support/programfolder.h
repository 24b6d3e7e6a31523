#pragma once

#include <chrono>
#include <csignal>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtCore/qtestsupport_core.h>

#include <gtest/gtest.h>

// For end-to-end tests: real executables in a temporary program folder with a private window
// registry (XDG_RUNTIME_DIR), started as the suite starts them.
namespace promemo::test {

// Lets events run until `condition` holds; false once `bound` has passed.
template <typename Condition>
bool waitFor(Condition condition, std::chrono::milliseconds bound = std::chrono::seconds(10))
{
    return QTest::qWaitFor(condition, int(bound.count()));
}

class TemporaryProgramFolder
{
public:
    TemporaryProgramFolder()
    {
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    }
    ~TemporaryProgramFolder() { killAll(); }

    QString path() const { return folder.path(); }
    QString filePath(const QString &name) const { return folder.filePath(name); }

    // Copies the built program `builtPath` into the folder as `name`.
    bool install(const QString &name, const QString &builtPath) const { return QFile::copy(builtPath, folder.filePath(name)); }
    // The suite's eight programs: those of `built` (name, built path) copied, the others stand-ins
    // that do nothing; a silent sound and `ini` as the settings.
    void installSuite(const QList<std::pair<QString, QString>> &built, const QByteArray &ini) const
    {
        for (const char *name : {"Notino", "Kundo", "Kalvo", "Kespo", "Kirmo", "Vigilo", "Elenko", "Mesaro"})
            put(QLatin1String(name), "#!/bin/sh\n", QFile::ExeOwner);
        for (const auto &[name, path] : built) {
            QFile::remove(folder.filePath(name));
            ASSERT_TRUE(install(name, path)) << name.toStdString();
        }
        put(QStringLiteral("suono.wav"), {});
        put(QStringLiteral("Notino.ini"), ini);
    }
    // A file of the folder with `bytes`; `extra` permissions besides the owner's read and write.
    void put(const QString &name, const QByteArray &bytes, QFile::Permissions extra = {}) const
    {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | extra);
    }
    QByteArray read(const QString &name) const
    {
        QFile file(folder.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QStringList files(const QString &pattern = QStringLiteral("*.dat")) const
    {
        return QDir(folder.path()).entryList({pattern}, QDir::Files, QDir::Name);
    }

    // Starts program `name` of the folder, offscreen, in the folder, with `environment` added.
    void start(QProcess &process, const QString &name, const QStringList &arguments = {},
               const QProcessEnvironment &environment = {}) const
    {
        auto all = QProcessEnvironment::systemEnvironment();
        all.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        all.insert(environment);
        process.setProcessEnvironment(all);
        process.setProgram(folder.filePath(name));
        process.setArguments(arguments);
        process.setWorkingDirectory(folder.path());
        process.start();
        ASSERT_TRUE(process.waitForStarted(5000));
    }

    // Processes running a program of the folder, by pid; `name` empty for all of them.
    QList<qint64> running(const QString &name = {}) const
    {
        QList<qint64> pids;
        const QString prefix = QDir(folder.path()).canonicalPath() + QLatin1Char('/');
        for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            const QString exe = QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(entry));
            if (exe.startsWith(prefix) && (name.isEmpty() || exe == prefix + name))
                pids << entry.toLongLong();
        }
        return pids;
    }
    void killAll() const
    {
        for (const qint64 pid : running())
            ::kill(pid_t(pid), SIGKILL);
    }

private:
    QTemporaryDir runtime;
    QTemporaryDir folder;
};

} // namespace promemo::test

