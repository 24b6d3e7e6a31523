#include "platform/autostart.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "common/atomicfile.h"
#include "platform/logging.h"

namespace promemo {

namespace {

const QString kPrefix = QStringLiteral("Promemo");

QString xdgFolder(const char *variable, const QString &fallback, const QString &leaf)
{
    QString base = qEnvironmentVariable(variable);
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + u'/' + fallback;
    return base + u'/' + leaf;
}

// Exec value: the path in double quotes with ", `, $ and \ escaped and % doubled, then the
// backslashes escaped again as every string value of the file is.
QString execValue(const QString &path)
{
    QString quoted;
    for (const QChar c : path) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
        if (c == u'%')
            quoted += c;
    }
    quoted = u'"' + quoted + u'"';
    return quoted.replace(u'\\', QStringLiteral("\\\\"));
}

// A plain string value: backslashes and line breaks escaped.
QString stringValue(QString text)
{
    return text.replace(u'\\', QStringLiteral("\\\\")).replace(u'\n', QStringLiteral("\\n"))
        .replace(u'\r', QStringLiteral("\\r"));
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList({kPrefix + u'*'}, QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace

QString autostartFolder()
{
    return xdgFolder("XDG_CONFIG_HOME", QStringLiteral(".config"), QStringLiteral("autostart"));
}

QString launcherEntryText(const QString &launcherPath)
{
    const QFileInfo launcher(launcherPath);
    const QString folder = launcher.absolutePath();
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Promemo\n"
                          "Comment=Promemoria sul desktop\n")
           + QStringLiteral("Exec=") + execValue(launcher.absoluteFilePath()) + u'\n'
           + QStringLiteral("Path=") + stringValue(folder) + u'\n'
           + QStringLiteral("Icon=") + stringValue(folder + QStringLiteral("/icons/promemo-64.png")) + u'\n'
           + QStringLiteral("Terminal=false\n"
                            "X-GNOME-Autostart-enabled=true\n");
}

bool hasLauncherEntry(const QString &folder)
{
    return !entries(folder).isEmpty();
}

WriteResult writeLauncherEntry(const QString &folder, const QString &launcherPath)
{
    WriteResult written{QStringLiteral("cannot create %1").arg(folder)};
    if (QDir().mkpath(folder))
        written = writeFileAtomically(folder + u'/' + QString::fromUtf16(kLauncherEntryName),
                                      launcherEntryText(launcherPath).toUtf8());
    if (!written)
        qCWarning(lcDesktop).noquote() << "start at login not set:" << written.error;
    return written;
}

WriteResult removeLauncherEntries(const QString &folder)
{
    QDir dir(folder);
    QStringList left;
    for (const QString &name : entries(folder)) {
        if (!dir.remove(name))
            left.append(dir.filePath(name));
    }
    if (left.isEmpty())
        return {};
    const WriteResult failed{QStringLiteral("cannot remove %1").arg(left.join(QStringLiteral(", ")))};
    qCWarning(lcDesktop).noquote() << "start at login not cleared:" << failed.error;
    return failed;
}

} // namespace promemo
