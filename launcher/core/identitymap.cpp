#include "launcher/core/identitymap.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QUuid>

#include <algorithm>

namespace promemo::launcher {
namespace {

constexpr QStringView kUidPrefix = u"promemo-";

QByteArray hashedKey(const QString &key)
{
    if (key.isEmpty())
        return {};
    return QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex().left(32);
}

QString newUid()
{
    return kUidPrefix.toString() + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

} // namespace

QList<QByteArray> hashedKeys(const QStringList &keys)
{
    QList<QByteArray> hashed;
    for (const QString &key : keys)
        hashed.append(hashedKey(key));
    return hashed;
}

bool isSuiteUid(QStringView uid)
{
    static const QRegularExpression form(QStringLiteral(
        "^promemo-[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}(-2)?$"));
    return form.match(uid).hasMatch();
}

// One entry a line: UID, kind, first day, gone since, then the keys, separated by tabs.
IdentityMap IdentityMap::decode(const QByteArray &bytes)
{
    IdentityMap map;
    for (const QByteArray &line : bytes.split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split('\t');
        if (fields.size() < 4 || !isSuiteUid(QString::fromLatin1(fields[0])))
            continue;
        Entry entry{QString::fromLatin1(fields[0]), QString::fromLatin1(fields[1]),
                    QDate::fromString(QString::fromLatin1(fields[2]), Qt::ISODate), fields[3].toLongLong(), {}, {}, {}, {}};
        for (qsizetype i = 4; i < fields.size(); ++i) {
            if (fields[i].startsWith('=')) {
                const QList<QByteArray> link = fields[i].split('=');
                if (link.size() == 4) {
                    entry.foreignUid = QString::fromUtf8(QByteArray::fromPercentEncoding(link[1]));
                    entry.itemFile = QString::fromUtf8(QByteArray::fromPercentEncoding(link[2]));
                    entry.agreed = link[3];
                }
                continue;
            }
            entry.keys.append(fields[i] == "-" ? QByteArray() : fields[i]);
        }
        map.m_entries.append(entry);
    }
    return map;
}

QByteArray IdentityMap::encoded() const
{
    QByteArray out;
    for (const Entry &entry : m_entries) {
        out += entry.uid.toLatin1() + '\t' + entry.kind.toLatin1() + '\t'
               + entry.since.toString(Qt::ISODate).toLatin1() + '\t' + QByteArray::number(entry.goneSince);
        for (const QByteArray &key : entry.keys)
            out += '\t' + (key.isEmpty() ? QByteArray("-") : key);
        if (entry.isLinked())
            out += "\t=" + entry.foreignUid.toUtf8().toPercentEncoding() + '='
                   + entry.itemFile.toUtf8().toPercentEncoding() + '=' + entry.agreed;
        out += '\n';
    }
    return out;
}

IdentityMap IdentityMap::read(const QString &path)
{
    return decode(readWholeFile(path));
}

WriteResult IdentityMap::write(const QString &path) const
{
    return writeFileAtomically(path, encoded());
}

QDate IdentityMap::since(const QString &uid) const
{
    const auto found = std::find_if(m_entries.cbegin(), m_entries.cend(),
                                    [&](const Entry &entry) { return entry.uid == uid; });
    return found == m_entries.cend() ? QDate() : found->since;
}

IdentityMap::Entry *IdentityMap::entry(const QString &uid)
{
    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                    [&](const Entry &entry) { return entry.uid == uid; });
    return found == m_entries.end() ? nullptr : &*found;
}

const IdentityMap::Entry *IdentityMap::entry(const QString &uid) const
{
    return const_cast<IdentityMap *>(this)->entry(uid);
}

IdentityMap::Entry &IdentityMap::add(QStringView kind, QDate today)
{
    m_entries.append({newUid(), kind.toString(), today, 0, {}, {}, {}, {}});
    return m_entries.last();
}

void IdentityMap::remove(const QString &uid)
{
    m_entries.removeIf([&](const Entry &entry) { return entry.uid == uid; });
}

QStringList IdentityMap::assign(QStringView kind, const QList<QStringList> &items, const QDateTime &now,
                                std::chrono::seconds keepGone)
{
    const qint64 nowMs = now.toMSecsSinceEpoch();
    const qint64 keepMs = std::chrono::duration_cast<std::chrono::milliseconds>(keepGone).count();
    QList<Entry> others;
    QList<Entry> candidates; // living ones first: they win a key both hold
    QList<Entry> waiting;
    for (const Entry &entry : std::as_const(m_entries)) {
        if (entry.kind != kind)
            others.append(entry);
        else if (entry.goneSince == 0)
            candidates.append(entry);
        else if (nowMs - entry.goneSince < keepMs)
            waiting.append(entry);
    }
    candidates += waiting;

    QList<QList<QByteArray>> keys;
    qsizetype levels = 0;
    for (const QStringList &item : items) {
        const QList<QByteArray> hashed = hashedKeys(item);
        levels = std::max(levels, hashed.size());
        keys.append(hashed);
    }

    QList<qsizetype> matched(items.size(), -1);
    QList<bool> taken(candidates.size(), false);
    for (qsizetype level = 0; level < levels; ++level) {
        for (qsizetype i = 0; i < items.size(); ++i) {
            if (matched[i] >= 0 || level >= keys[i].size() || keys[i][level].isEmpty())
                continue;
            for (qsizetype c = 0; c < candidates.size(); ++c) {
                if (!taken[c] && level < candidates[c].keys.size() && candidates[c].keys[level] == keys[i][level]) {
                    matched[i] = c;
                    taken[c] = true;
                    break;
                }
            }
        }
    }
    // One item that nothing knows and one that has gone: the one took the other's place.
    const auto unmatchedItems = std::count(matched.cbegin(), matched.cend(), qsizetype(-1));
    const auto freeCandidates = std::count(taken.cbegin(), taken.cend(), false);
    if (unmatchedItems == 1 && freeCandidates == 1) {
        const auto item = std::find(matched.begin(), matched.end(), qsizetype(-1)) - matched.begin();
        const auto candidate = std::find(taken.begin(), taken.end(), false) - taken.begin();
        matched[item] = candidate;
        taken[candidate] = true;
    }

    QStringList uids;
    QList<Entry> kept = others;
    for (qsizetype i = 0; i < items.size(); ++i) {
        Entry entry = matched[i] >= 0 ? candidates[matched[i]] : Entry{newUid(), kind.toString(), now.date(), 0, {}, {}, {}, {}};
        entry.goneSince = 0;
        entry.keys = keys[i];
        uids.append(entry.uid);
        kept.append(entry);
    }
    for (qsizetype c = 0; c < candidates.size(); ++c) {
        if (taken[c])
            continue;
        Entry gone = candidates[c];
        if (gone.goneSince == 0)
            gone.goneSince = nowMs;
        if (nowMs - gone.goneSince < keepMs)
            kept.append(gone);
    }
    m_entries = kept;
    return uids;
}

} // namespace promemo::launcher
