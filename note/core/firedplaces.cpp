#include "note/core/firedplaces.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "common/twips.h"
#include "note/core/noterules.h"

namespace promemo::note {

namespace {

const QByteArray kFiredWord = "fired";

QPoint middle(QSize screen, QSize note)
{
    return {(screen.width() - note.width()) / 2, (screen.height() - note.height()) / 2};
}

} // namespace

QByteArray encodeFiredClaim(const FiredClaim &claim)
{
    return kFiredWord + ' ' + QByteArray::number(claim.slot) + ' ' + QByteArray::number(claim.since)
           + ' ' + QByteArray::number(claim.pid);
}

std::optional<FiredClaim> decodeFiredClaim(const QByteArray &state)
{
    const QList<QByteArray> fields = state.split(' ');
    if (fields.size() != 4 || fields[0] != kFiredWord)
        return std::nullopt;
    bool slotRead = false, sinceRead = false, pidRead = false;
    const FiredClaim claim{fields[1].toInt(&slotRead), fields[2].toLongLong(&sinceRead),
                           fields[3].toLongLong(&pidRead)};
    if (!slotRead || !sinceRead || !pidRead || claim.slot < 0)
        return std::nullopt;
    return claim;
}

int firedSlotCount(QSize screen, QSize note)
{
    const QPoint first = middle(screen, note);
    const int room = std::min(screen.width() - note.width() - first.x(),
                              screen.height() - note.height() - first.y());
    return room > 0 ? room / kFiredStepTwips + 1 : 1;
}

QPoint firedSlotTopLeft(int slot, QSize screen, QSize note)
{
    const int step = (slot % firedSlotCount(screen, note)) * kFiredStepTwips;
    return middle(screen, note) + QPoint(step, step);
}

int firedSlotAtPixels(QPoint topLeftPixels, QSize screen, QSize note)
{
    for (int slot = 0; slot < firedSlotCount(screen, note); ++slot) {
        const QPoint place = firedSlotTopLeft(slot, screen, note);
        if (QPoint(twipsToPixels(place.x()), twipsToPixels(place.y())) == topLeftPixels)
            return slot;
    }
    return -1;
}

int firedSlot(const FiredClaim &own, const QList<FiredClaim> &others, int slotCount)
{
    slotCount = std::max(slotCount, 1);
    std::vector<FiredClaim> claims(others.begin(), others.end());
    claims.push_back(own);
    std::vector<size_t> order(claims.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::ranges::stable_sort(order, [&claims](size_t a, size_t b) {
        return claims[a].precedence(claims[b]) < 0;
    });
    const size_t ownIndex = claims.size() - 1;

    std::vector<int> held(size_t(slotCount), 0);
    std::vector<size_t> leftOver;
    for (const size_t index : order) {
        const int slot = claims[index].slot;
        if (slot >= 0 && slot < slotCount && held[size_t(slot)] == 0) {
            held[size_t(slot)] = 1;
            if (index == ownIndex)
                return slot;
        } else {
            leftOver.push_back(index);
        }
    }
    for (const size_t index : leftOver) {
        const auto fewest = std::ranges::min_element(held); // the first free one, if any
        ++*fewest;
        if (index == ownIndex)
            return int(fewest - held.begin());
    }
    return 0;
}

} // namespace promemo::note
