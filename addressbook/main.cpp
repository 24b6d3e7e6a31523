#include "addressbook/addressbookwindow.h"
#include "platform/services.h"
#include "widgets/programstart.h"

int main(int argc, char **argv)
{
    using namespace promemo;
    return runProgram(argc, argv, {.singleInstance = QStringLiteral("Elenko")},
                      [](const Services &services, QObject *context, Started<QObject> started) {
                          checkTrayThere(services.windows, context, [services, started](bool there) {
                              started(there ? rubrica::startAddressBook(services) : nullptr);
                          });
                      });
}
