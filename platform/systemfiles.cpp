#include "platform/systemfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QSet>

namespace promemo {

namespace {

constexpr int kMaxIncludeDepth = 8;

void addConfigured(const QString &confPath, QStringList &folders, int depth)
{
    QFile file(confPath);
    if (depth > kMaxIncludeDepth || !file.open(QIODevice::ReadOnly))
        return;
    const QString baseFolder = QFileInfo(confPath).absolutePath();
    while (!file.atEnd()) {
        QString line = QString::fromLocal8Bit(file.readLine());
        line = line.left(line.indexOf(u'#')).trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith(QLatin1String("include")) && line.size() > 7 && line[7].isSpace()) {
            QString pattern = line.mid(8).trimmed();
            if (QDir::isRelativePath(pattern))
                pattern = baseFolder + u'/' + pattern;
            const QFileInfo info(pattern);
            const QDir dir(info.absolutePath());
            for (const QString &name : dir.entryList({info.fileName()}, QDir::Files, QDir::Name))
                addConfigured(dir.filePath(name), folders, depth + 1);
            continue;
        }
        if (line.startsWith(u'/'))
            folders << line;
    }
}

QString multiarchFolder()
{
    // The folder the C++ runtime's own architecture uses on Debian, e.g. x86_64-linux-gnu.
#if defined(__x86_64__)
    return QStringLiteral("x86_64-linux-gnu");
#elif defined(__aarch64__)
    return QStringLiteral("aarch64-linux-gnu");
#elif defined(__i386__)
    return QStringLiteral("i386-linux-gnu");
#elif defined(__arm__)
    return QStringLiteral("arm-linux-gnueabihf");
#else
    return {};
#endif
}

} // namespace

std::vector<SystemFile> requiredSystemFiles()
{
    return {
        {QStringLiteral("libQt6Core.so.6"), {}},
        {QStringLiteral("libQt6Gui.so.6"), {}},
        {QStringLiteral("libQt6Widgets.so.6"), {}},
        {QStringLiteral("libQt6Network.so.6"), {}},
        {QStringLiteral("libQt6PrintSupport.so.6"), {}},
        {QStringLiteral("libqxcb.so"), QStringLiteral("platforms")},
        {QStringLiteral("libcanberra.so.0"), {}},
        {QStringLiteral("libstdc++.so.6"), {}},
        {QStringLiteral("libX11.so.6"), {}},
        {QStringLiteral("libXi.so.6"), {}},
    };
}

QStringList configuredFolders(const QString &confPath)
{
    QStringList folders;
    addConfigured(confPath, folders, 0);
    return folders;
}

QStringList loaderFolders()
{
    QStringList folders;
    for (const QString &folder : qEnvironmentVariable("LD_LIBRARY_PATH").split(u':', Qt::SkipEmptyParts))
        folders << folder;
    folders << configuredFolders(QStringLiteral("/etc/ld.so.conf"));
    const QString arch = multiarchFolder();
    if (!arch.isEmpty())
        folders << u"/lib/"_qs + arch << u"/usr/lib/"_qs + arch;
    folders << QStringLiteral("/lib") << QStringLiteral("/usr/lib");
    QStringList unique;
    QSet<QString> seen;
    for (const QString &folder : folders) {
        const QString clean = QDir::cleanPath(folder);
        if (!seen.contains(clean)) {
            seen.insert(clean);
            unique << clean;
        }
    }
    return unique;
}

QString locateSystemFile(const SystemFile &file, const QStringList &folders, const QString &pluginFolder)
{
    if (!file.subfolder.isEmpty()) {
        const QString path = pluginFolder + u'/' + file.subfolder + u'/' + file.name;
        return QFileInfo(path).isFile() ? path : QString();
    }
    for (const QString &folder : folders) {
        const QString path = folder + u'/' + file.name;
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

QString systemFolder(const QStringList &folders)
{
    const QString runtime = locateSystemFile({QStringLiteral("libstdc++.so.6"), {}}, folders, {});
    return runtime.isEmpty() ? QString() : QFileInfo(runtime).absolutePath();
}

SessionType sessionType()
{
    const QString type = qEnvironmentVariable("XDG_SESSION_TYPE").toLower();
    if (type == u"wayland")
        return SessionType::Wayland;
    if (type == u"x11")
        return SessionType::X11;
    return qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ? SessionType::Wayland : SessionType::X11;
}

} // namespace promemo
