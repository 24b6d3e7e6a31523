#include "widgets/programstart.h"

#include <QApplication>
#include <QSessionManager>
#include <QWidget>

#include "common/programfolder.h"
#include "platform/captions.h"
#include "platform/desktopsession.h"
#include "platform/endsignals.h"
#include "platform/services.h"
#include "platform/singleinstance.h"

namespace promemo {

namespace {

// For a program that never looks for other windows: it registers nothing and finds nothing.
class NoWindows final : public IWindowRegistry
{
public:
    std::unique_ptr<RegisteredWindow> registerWindow(const QString &) override { return nullptr; }
    void checkPresence(const QString &, QObject *context,
                       std::function<void(const WindowPresence &)> done) override
    {
        answer(context, [done] { done({}); });
    }
    void postClose(const QString &, QObject *context, std::function<void(bool)> done) override
    {
        if (done)
            answer(context, [done] { done(false); });
    }
    void closeAll(const QString &, std::chrono::milliseconds, QObject *context,
                  std::function<void(bool closed)> done) override
    {
        if (done)
            answer(context, [done] { done(true); });
    }
    void raise(const QString &, QObject *context, std::function<void(bool)> done) override
    {
        if (done)
            answer(context, [done] { done(false); });
    }
    void captionsStartingWith(const QString &, QObject *context,
                              std::function<void(const QStringList &)> done) override
    {
        answer(context, [done] { done({}); });
    }
    void statesOf(const QString &, QObject *context,
                  std::function<void(const QByteArrayList &)> done) override
    {
        answer(context, [done] { done({}); });
    }

private:
    static void answer(QObject *context, std::function<void()> done)
    {
        QMetaObject::invokeMethod(context ? context : QCoreApplication::instance(), std::move(done),
                                  Qt::QueuedConnection);
    }
};

} // namespace

void closeAtSessionEnd(QWidget &window)
{
    auto *endSignals = new EndSignals(&window);
    QObject::connect(endSignals, &EndSignals::endRequested, &window, &QWidget::close);
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager &) { window.close(); });
}

void checkTrayThere(IWindowRegistry &windows, QObject *context, std::function<void(bool there)> done)
{
    windows.exists(QString::fromUtf16(kTrayCaption), context, std::move(done));
}

int runProgram(int &argc, char **argv, const ProgramOptions &options,
               const std::function<void(const Services &, QObject *context, Started<QObject>)> &start)
{
    preferX11Session();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(options.quitOnLastWindowClosed);
    if (options.refusedRegistry && openRegistryDirectory(programFolder()).isEmpty()) {
        QtMessageBoxes messageBoxes;
        options.refusedRegistry(messageBoxes, registryDirectoryPath(programFolder()));
        return 1;
    }
    SingleInstance instance;
    if (!options.singleInstance.isEmpty() && !instance.tryAcquire(options.singleInstance))
        return 0;
    SystemServices system(options.usesRegistry ? std::unique_ptr<IWindowRegistry>(std::make_unique<WindowRegistry>())
                                               : std::make_unique<NoWindows>());
    const Services services = system.services();

    std::unique_ptr<QObject> program;
    bool ended = false;
    bool running = false;
    start(services, &app, [&](std::unique_ptr<QObject> made) {
        if (made) {
            program = std::move(made);
            return;
        }
        ended = true;
        if (running)
            QCoreApplication::exit(0);
    });
    if (ended)
        return 0;
    running = true;
    const int code = QApplication::exec();
    // The windows go before the services and the application they use.
    program.reset();
    return code;
}

} // namespace promemo
