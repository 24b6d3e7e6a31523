#include "launcher/core/contactsfilekeeper.h"

#include <QCryptographicHash>
#include <QDir>

#include "common/atomicfile.h"
#include "common/logging.h"
#include "common/settings.h"
#include "launcher/core/identitymap.h"
#include "launcher/core/vdir.h"

namespace promemo::launcher {

namespace {

QString dataFilePath(const QString &folder)
{
    return QDir(folder).filePath(rubrica::kDataFileName.toString());
}

// Ours: empty (a book without contacts) or cards that carry the suite's UIDs.
bool isSuiteContactsFile(const QByteArray &bytes)
{
    return bytes.isEmpty() || bytes.startsWith("BEGIN:VCARD\r\nVERSION:4.0\r\nUID:promemo-");
}

} // namespace

QStringList identityKeys(const rubrica::Contact &contact)
{
    return {contact.name + u'\n' + contact.number, contact.name, QString::number(contact.record)};
}

ContactsFileKeeper::ContactsFileKeeper(const IClock &clock, QString folder, QObject *parent)
    : QObject(parent), m_clock(clock), m_folder(std::move(folder)), m_watch(m_folder, {dataFilePath(m_folder)})
{
    connect(&m_watch, &FolderWatch::settled, this, &ContactsFileKeeper::refresh);
    refresh();
}

void ContactsFileKeeper::turnOff()
{
    m_writtenFrom.clear();
    const QDir dir(m_folder);
    const QString vcf = dir.filePath(rubrica::kVCardFileName.toString());
    if (QFile::exists(vcf) && isSuiteContactsFile(readWholeFile(vcf)) && !QFile::remove(vcf))
        qCWarning(lcFiles, "Rubrica.vcf cannot be removed");
    clearVdir(dir.filePath(kContactsVdir.toString()), u".vcf");
}

void ContactsFileKeeper::refresh()
{
    m_watch.stop();
    // The address book writes its sheets in place; a new file needs a new watch.
    m_watch.watchFilesAgain();
    const QDir dir(m_folder);
    const QString settingsPath = dir.filePath(kSettingsFileName.toString());
    if (!Settings(settingsPath).desktopFeature(DesktopFeature::ContactsFile)) {
        turnOff();
        return;
    }
    // The address book is the only writer of rubri.dat, and never creates it while we look.
    const QByteArray data = readWholeFile(dataFilePath(m_folder));
    const QByteArray from = QCryptographicHash::hash(data, QCryptographicHash::Sha1) + (data.isEmpty() ? "-" : "+");
    if (from == m_writtenFrom)
        return;

    QList<rubrica::Contact> contacts = rubrica::contactsOf(rubrica::sheetsOf(data));
    const QString mapPath = dir.filePath(kContactsIdentityFile.toString());
    IdentityMap map = IdentityMap::read(mapPath);
    const IdentityMap before = map;
    QList<QStringList> keys;
    for (const rubrica::Contact &contact : std::as_const(contacts))
        keys.append(identityKeys(contact));
    const QStringList uids = map.assign(u"contact", keys, m_clock.now());
    QList<VdirItem> items;
    for (qsizetype i = 0; i < contacts.size(); ++i) {
        contacts[i].uid = uids[i];
        items.append({uids[i], rubrica::encodeVCard(contacts[i])});
    }

    QStringList errors;
    if (!(map == before)) {
        if (const WriteResult saved = map.write(mapPath); !saved)
            errors.append(saved.error);
    }
    const QString vcf = dir.filePath(rubrica::kVCardFileName.toString());
    const QByteArray cards = rubrica::encodeVCards(contacts);
    if (readWholeFile(vcf) != cards || !QFile::exists(vcf)) {
        if (const WriteResult file = writeFileAtomically(vcf, cards); !file)
            errors.append(file.error);
    }
    errors += keepVdir(dir.filePath(kContactsVdir.toString()), u".vcf", items).errors;

    if (errors.isEmpty())
        m_writtenFrom = from;
    for (const QString &error : std::as_const(errors))
        qCWarning(lcFiles).noquote() << "contacts not written:" << error;
    emit written(errors.isEmpty());
}

} // namespace promemo::launcher
