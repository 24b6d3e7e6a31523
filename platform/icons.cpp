#include "platform/icons.h"

#include <QDir>
#include <QFile>

#include "common/programfolder.h"

namespace promemo {

namespace {

QIcon iconFromSizes(const QString &stem, std::initializer_list<int> sizes)
{
    const QDir folder(programFile(QStringLiteral("icons")));
    QIcon icon;
    for (const int size : sizes) {
        const QString file = folder.filePath(QStringLiteral("%1-%2.png").arg(stem).arg(size));
        if (QFile::exists(file))
            icon.addFile(file, QSize(size, size));
    }
    return icon;
}

} // namespace

QIcon applicationIcon()
{
    return iconFromSizes(QStringLiteral("promemo"), {16, 22, 32, 48, 64, 128});
}

QIcon trayIcon(int colour)
{
    const char *name = colour == 2 ? "azzurro" : colour == 3 ? "verde" : "giallo";
    return iconFromSizes(QStringLiteral("tray-") + QLatin1String(name), {16, 22, 32, 48, 64});
}

} // namespace promemo
