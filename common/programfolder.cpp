#include "programfolder.h"

#include <QCoreApplication>
#include <QDir>

namespace promemo {
namespace {

QString &overriddenFolder()
{
    static QString folder;
    return folder;
}

} // namespace

QString programFolder()
{
    if (!overriddenFolder().isEmpty())
        return overriddenFolder();
    return QCoreApplication::applicationDirPath();
}

void setProgramFolderForTesting(const QString &folder)
{
    overriddenFolder() = folder;
}

QString programFile(const QString &bareName)
{
    return QDir(programFolder()).filePath(bareName);
}

QString executableName(const QString &program)
{
#ifdef Q_OS_WIN
    return program + QStringLiteral(".exe");
#else
    return program;
#endif
}

QString programPath(const QString &program)
{
    return programFile(executableName(program));
}

} // namespace promemo
