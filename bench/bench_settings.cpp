#include "common/settings.h"
#include "common/settingsfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

#include <benchmark/benchmark.h>

namespace promemo {
namespace {

// A settings file as the suite leaves it after a while: every section, a few comments.
const QByteArray kNotino = "; Promemo settings\r\n"
                           "[Versione]\r\n"
                           "numvers=1600\r\n"
                           "codvers=1.6 \r\n"
                           "\r\n"
                           "[Opzioni]\r\n"
                           "colore=2\r\n"
                           "fontsize=3\r\n"
                           "grandezza=1\r\n"
                           "showelenco=2\r\n"
                           "sound=1\r\n"
                           "\r\n"
                           "; calendar marks\r\n"
                           "[Calendario]\r\n"
                           "holycheck=1\r\n"
                           "postcheck=1\r\n"
                           "rubrcheck=0\r\n"
                           "\r\n"
                           "[Rubrica]\r\n"
                           "ColSfondo=3\r\n"
                           "ColTasti=5\r\n";

class NotinoFile
{
public:
    NotinoFile() : m_path(m_dir.filePath(QStringLiteral("Notino.ini")))
    {
        QFile file(m_path);
        if (!file.open(QIODevice::WriteOnly) || file.write(kNotino) != kNotino.size())
            std::abort();
    }
    const QString &path() const { return m_path; }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// The last key of the file: the whole file is scanned.
void BM_ReadSettingsKey(benchmark::State &state)
{
    const NotinoFile notino;
    const SettingsFile file(notino.path());
    for (auto _ : state)
        benchmark::DoNotOptimize(file.read(ini::section::Rubrica, ini::key::ColTasti));
}
BENCHMARK(BM_ReadSettingsKey);

void BM_ReadAppearanceCode(benchmark::State &state)
{
    const NotinoFile notino;
    const Settings settings(notino.path());
    for (auto _ : state)
        benchmark::DoNotOptimize(settings.appearanceCode());
}
BENCHMARK(BM_ReadAppearanceCode);

void BM_FindProfileValueInMemory(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(findProfileValue(kNotino, ini::section::Rubrica, ini::key::ColTasti));
}
BENCHMARK(BM_FindProfileValueInMemory);

// Lock, read, rewrite through a synced temporary file and rename.
void BM_WriteSettingsKey(benchmark::State &state)
{
    const NotinoFile notino;
    const SettingsFile file(notino.path());
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(file.write(ini::section::Calendario, ini::key::postcheck,
                                            QString::number(++i % 2)));
}
BENCHMARK(BM_WriteSettingsKey)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace promemo
