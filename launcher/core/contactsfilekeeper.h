#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include "addressbook/core/vcard.h"
#include "common/clock.h"
#include "launcher/core/folderwatch.h"

namespace promemo::launcher {

// The map of the contacts' UIDs, beside the vdir.
inline constexpr QStringView kContactsIdentityFile = u"rubrica.uid";

// What tells a contact from the others across saves of its sheet, strongest first: the whole
// row (also when moved), its name, its place.
QStringList identityKeys(const rubrica::Contact &contact);

// Keeps Rubrica.vcf and the vdir rubrica/ in step with rubri.dat while the launcher runs, with
// the UIDs in rubrica.uid; [Rubrica] rubrica_vcf=0 in Notino.ini removes what the suite wrote
// there and stops it.
class ContactsFileKeeper final : public QObject
{
    Q_OBJECT
public:
    ContactsFileKeeper(const IClock &clock, QString folder, QObject *parent = nullptr);

    void refresh();

signals:
    void written(bool ok);

private:
    void turnOff();

    const IClock &m_clock;
    QString m_folder;
    FolderWatch m_watch;
    QByteArray m_writtenFrom;
};

} // namespace promemo::launcher
