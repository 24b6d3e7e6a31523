// Writes one settings key <count> times; exits 1 when a write fails or when the watched key,
// written by another process, reads as missing in between.
// Usage: settings_writer <ini path> <section> <key> <count> <watched key>

#include <QCoreApplication>
#include <QStringList>

#include "common/settingsfile.h"

int main(int argc, char **argv)
{
    const QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const promemo::SettingsFile file(args.value(1));
    for (int n = 0; n < args.value(4).toInt(); ++n)
        if (!file.write(args.value(2), args.value(3), QString::number(n))
            || file.read(args.value(2), args.value(5)) == promemo::kProfileDefault)
            return 1;
    return 0;
}
