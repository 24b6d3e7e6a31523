// Writes one settings key many times, checking between writes that another key never vanishes.
// Usage: settings_writer <ini path> <section> <key> <count> <watched key>
// Exit codes: 0 done, 1 a write failed, 2 the watched key read as missing, 3 bad arguments.

#include <QCoreApplication>
#include <QStringList>

#include "common/settingsfile.h"

int main(int argc, char **argv)
{
    const QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 6)
        return 3;
    const promemo::SettingsFile file(args.at(1));
    const QString &section = args.at(2);
    const QString &key = args.at(3);
    const int count = args.at(4).toInt();
    const QString &watched = args.at(5);
    for (int i = 0; i < count; ++i) {
        if (!file.write(section, key, QString::number(i)))
            return 1;
        if (file.read(section, watched) == promemo::kProfileDefault)
            return 2;
    }
    return 0;
}
