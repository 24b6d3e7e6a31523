// A second program for the registry tests. Reports on stdout, one line each: "ready" once
// registered, "close" and "raise" for each request received, "acquired" or "busy" for a lock.
//
//   registry_peer window <folder> <caption>   closes (exits) when asked to
//   registry_peer ignore <folder> <caption>   reports close requests but stays
//   registry_peer hang <folder> <caption>     registers, then never runs its event loop
//   registry_peer lock <folder> <program>     holds the single-instance lock until killed

#include <cstdio>
#include <unistd.h>

#include <QCoreApplication>

#include "platform/singleinstance.h"
#include "platform/windowregistry.h"

namespace {

void say(const char *line)
{
    std::puts(line);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 2;
    const QString &mode = args.at(1);
    const QString &folder = args.at(2);
    const QString &name = args.at(3);

    if (mode == QLatin1String("lock")) {
        promemo::SingleInstance instance(folder);
        if (!instance.tryAcquire(name)) {
            say("busy");
            return 1;
        }
        say("acquired");
        return app.exec();
    }

    promemo::WindowRegistry registry(folder);
    const auto window = registry.registerWindow(name);
    if (!window)
        return 1;
    QObject::connect(window.get(), &promemo::RegisteredWindow::raiseRequested, [] { say("raise"); });
    QObject::connect(window.get(), &promemo::RegisteredWindow::closeRequested, [&] {
        say("close");
        if (mode == QLatin1String("window"))
            app.quit();
    });
    say("ready");
    if (mode == QLatin1String("hang")) {
        for (;;)
            ::pause();
    }
    return app.exec();
}
