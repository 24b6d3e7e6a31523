#include "calendar/calendarwindow.h"
#include "widgets/programstart.h"

int main(int argc, char **argv)
{
    using namespace promemo;
    return runProgram(argc, argv, {.singleInstance = QStringLiteral("Mesaro")},
                      [](const Services &services, QObject *context, Started<QObject> started) {
                          calendar::startCalendar(services, context, std::move(started));
                      });
}
