#pragma once

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QSize>

#include <compare>
#include <optional>

// Where fired notes go so that none hides another. Place 0 is the middle of the screen, place k
// is k steps (kFiredStepTwips) down and right of it, as far as the note stays on the screen;
// past the last the places start again at 0. Every note is its own program: each fired note
// tells its claim (place, when it fired, its process) through the window registry, and every
// note that sees the same claims works out the same places. Geometry is in twips unless a name
// says pixels.
namespace promemo::note {

struct FiredClaim
{
    int slot = -1;    // the place taken; -1 while none is
    qint64 since = 0; // when the note fired, in milliseconds since the epoch
    qint64 pid = 0;   // the note's process, which settles a tie

    // Earlier claims come first and keep their place.
    std::strong_ordering precedence(const FiredClaim &other) const
    {
        if (const auto order = since <=> other.since; order != 0)
            return order;
        return pid <=> other.pid;
    }
    bool sameNote(const FiredClaim &other) const { return since == other.since && pid == other.pid; }
};

// "fired <place> <since> <pid>"; a state that is not one reads as none.
QByteArray encodeFiredClaim(const FiredClaim &claim);
std::optional<FiredClaim> decodeFiredClaim(const QByteArray &state);

// How many places a note of `note` size has on `screen`: at least the middle.
int firedSlotCount(QSize screen, QSize note);
// The top-left of place `slot` (wrapped into the places there are).
QPoint firedSlotTopLeft(int slot, QSize screen, QSize note);
// The place whose top-left, rounded to pixels, is `topLeftPixels`; -1 when none is.
int firedSlotAtPixels(QPoint topLeftPixels, QSize screen, QSize note);

// The place `own` is to take among `others`' claims. In the order of precedence each claim
// keeps its place unless an earlier one kept it; those left over, in the same order, take the
// first place nobody kept or took, or, when every place is held, the one held by the fewest.
int firedSlot(const FiredClaim &own, const QList<FiredClaim> &others, int slotCount);

} // namespace promemo::note
