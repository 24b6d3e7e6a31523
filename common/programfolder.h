#pragma once

#include <QString>

namespace promemo {

// The folder of the running executable, where every program and shared file of the suite lives.
QString programFolder();

// Overrides the program folder for this process (tests that work in a temporary folder).
void setProgramFolderForTesting(const QString &folder);

// Full path of a bare file name in the program folder.
QString programFile(const QString &bareName);

// The executable name of a program of the suite on this platform ("Kundo" -> "Kundo").
QString executableName(const QString &program);

// Full path of a program of the suite in the program folder.
QString programPath(const QString &program);

} // namespace promemo
