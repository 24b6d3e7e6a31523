// A second program for the registry tests. Reports on stdout, one line each: "ready" once
// registered, "close" and "raise" for each request received, "acquired" or "busy" for a lock.
//
//   registry_peer window <folder> <caption>   closes (exits) when asked to
//   registry_peer drop <folder> <caption>     drops its registration when asked to close, then
//                                             exits a moment later
//   registry_peer leave <folder> <caption>    when asked to close, is busy for 600 ms, drops its
//                                             registration and lives on for 3 seconds
//   registry_peer state <folder> <caption>    tells "state of <its pid>" as its state
//   registry_peer hang <folder> <caption>     registers, then never runs its event loop
//   registry_peer lock <folder> <program>     holds the single-instance lock until killed

#include <cstdio>
#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>

#include "platform/singleinstance.h"
#include "platform/windowregistry.h"

static void say(const char *line) { std::puts(line), std::fflush(stdout); }

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString &mode = args.at(1);
    if (mode == QLatin1String("lock")) {
        promemo::SingleInstance instance(args.at(2));
        const bool acquired = instance.tryAcquire(args.at(3));
        say(acquired ? "acquired" : "busy");
        return acquired ? app.exec() : 1;
    }
    promemo::WindowRegistry registry(args.at(2));
    auto w = registry.registerWindow(args.at(3));
    if (!w)
        return 1;
    QObject::connect(w.get(), &promemo::RegisteredWindow::raiseRequested, [] { say("raise"); });
    QObject::connect(w.get(), &promemo::RegisteredWindow::closeRequested, [&] {
        say("close");
        if (mode == QLatin1String("window"))
            app.quit();
        if (mode == QLatin1String("drop")) {
            w.reset();
            QTimer::singleShot(300, &app, &QCoreApplication::quit);
        }
        if (mode == QLatin1String("leave")) {
            ::usleep(600'000);
            w.reset();
            QTimer::singleShot(3000, &app, &QCoreApplication::quit);
        }
    });
    if (mode == QLatin1String("state"))
        w->setState([] { return "state of " + QByteArray::number(QCoreApplication::applicationPid()); });
    say("ready");
    while (mode == QLatin1String("hang"))
        ::pause();
    return app.exec();
}
