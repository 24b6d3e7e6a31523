#include "note/core/firedplaces.h"
#include "note/core/noterules.h"

#include <algorithm>
#include <tuple>

#include <gtest/gtest.h>

#include "common/twips.h"

namespace promemo::note {
namespace {

// The normal note on a 1280 x 800 screen, in twips.
const QSize kScreen(1280 * 15, 800 * 15);
const QSize kNote(193 * 15, 140 * 15);

FiredClaim claim(int slot, qint64 since, qint64 pid = 100) { return {slot, since, pid}; }

TEST(FiredPlaces, EachClaimKeepsItsPlaceUnlessAnEarlierOneHoldsItAndTheRestTakeTheFirstFree)
{
    // own claim, the others', places there are, the place own takes
    const std::tuple<const char *, FiredClaim, QList<FiredClaim>, int, int> cases[] = {
        {"alone: the middle", claim(-1, 50), {}, 14, 0},
        {"the middle taken", claim(-1, 50), {claim(0, 10)}, 14, 1},
        {"the first free, not the next", claim(-1, 50), {claim(0, 10), claim(2, 20)}, 14, 1},
        {"a place left by the user is free again", claim(-1, 50), {claim(1, 10)}, 14, 0},
        {"an earlier claim on its place moves it", claim(1, 50), {claim(0, 10), claim(1, 20)}, 14, 2},
        {"a later claim on its place does not", claim(1, 50), {claim(0, 10), claim(1, 60)}, 14, 1},
        {"the same moment: the smaller process first", claim(0, 50, 7), {claim(0, 50, 8)}, 14, 0},
        {"the same moment: the larger moves", claim(0, 50, 8), {claim(0, 50, 7)}, 14, 1},
        // one still placing, but earlier: it takes the middle first, as it works out too
        {"an earlier note not yet placed goes first", claim(-1, 50), {claim(-1, 10)}, 14, 1},
        {"a later note placed keeps its place", claim(-1, 50), {claim(0, 90)}, 14, 1},
        {"every place held: the one held by the fewest", claim(-1, 50),
         {claim(0, 10), claim(1, 20), claim(2, 30), claim(0, 40)}, 3, 1},
        {"a place beyond the screen counts as none", claim(5, 50), {claim(0, 10)}, 3, 1},
    };
    for (const auto &[name, own, others, count, expected] : cases)
        EXPECT_EQ(firedSlot(own, others, count), expected) << name;
}

// Six notes that fire at once all take the middle; each, seeing the others, works out a place
// of its own, and the places are the same for every one of them.
TEST(FiredPlaces, NotesThatSeeTheSameClaimsReachDistinctPlacesInOneLook)
{
    QList<FiredClaim> claims;
    for (int note = 0; note < 6; ++note)
        claims << claim(0, 1000 + (note % 2), 200 - note);
    // The place note `note` works out, seeing the claims of the others.
    const auto placeOf = [&claims](qsizetype note) {
        QList<FiredClaim> others = claims;
        others.removeAt(note);
        return firedSlot(claims[note], others, 14);
    };
    QList<int> places;
    for (qsizetype note = 0; note < claims.size(); ++note)
        places << placeOf(note);
    QList<int> sorted = places;
    std::ranges::sort(sorted);
    EXPECT_EQ(sorted, (QList<int>{0, 1, 2, 3, 4, 5}));
    // The earliest, smallest process keeps the middle.
    EXPECT_EQ(places[4], 0);

    // Seen again once they moved, nobody moves any more.
    for (qsizetype note = 0; note < claims.size(); ++note)
        claims[note].slot = places[note];
    for (qsizetype note = 0; note < claims.size(); ++note)
        EXPECT_EQ(placeOf(note), places[note]) << note;
}

TEST(FiredPlaces, PlacesStepDownAndRightFromTheMiddleAndWrapAtTheScreensEdge)
{
    // The middle, then a title bar (360 twips, 24 pixels) down and right each time.
    const QPoint middle = firedSlotTopLeft(0, kScreen, kNote), third = middle + QPoint(3 * 360, 3 * 360);
    EXPECT_EQ(middle, QPoint((kScreen.width() - kNote.width()) / 2, (kScreen.height() - kNote.height()) / 2));
    EXPECT_EQ(firedSlotTopLeft(3, kScreen, kNote), third);
    // 330 pixels below the middle, 14 places: the last ends inside the screen, one more would not.
    const int count = firedSlotCount(kScreen, kNote);
    EXPECT_EQ(count, 14);
    EXPECT_LE(firedSlotTopLeft(count - 1, kScreen, kNote).y() + kNote.height(), kScreen.height());
    EXPECT_GT(middle.y() + count * kFiredStepTwips + kNote.height(), kScreen.height());
    EXPECT_EQ(firedSlotTopLeft(count, kScreen, kNote), middle);
    // A note as large as the screen, or larger, has the middle only.
    EXPECT_EQ(std::pair(firedSlotCount(kNote, kNote), firedSlotCount(QSize(100, 100), kNote)), std::pair(1, 1));

    // A note is at a place only where the place is, to the pixel.
    const QPoint thirdPixels(twipsToPixels(third.x()), twipsToPixels(third.y()));
    EXPECT_EQ(firedSlotAtPixels(thirdPixels, kScreen, kNote), 3);
    EXPECT_EQ(firedSlotAtPixels(thirdPixels + QPoint(1, 0), kScreen, kNote), -1);
    EXPECT_EQ(firedSlotAtPixels({0, 0}, kScreen, kNote), -1);
}

TEST(FiredPlaces, ClaimsGoThroughTheRegistryAsTextAndAnythingElseIsNone)
{
    const FiredClaim original{3, 1'900'000'000'123, 4567};
    EXPECT_EQ(encodeFiredClaim(original), "fired 3 1900000000123 4567");
    const FiredClaim decoded = decodeFiredClaim(encodeFiredClaim(original)).value_or(FiredClaim{});
    EXPECT_EQ(std::tuple(decoded.slot, decoded.since, decoded.pid), std::tuple(3, original.since, original.pid));
    for (const QByteArray bad : {"", "fired", "fired 3 19 4567 8", "fired x 19 4567", "fired -1 19 4567",
                                 "parked 3 19 4567", "fired 3 19"})
        EXPECT_FALSE(decodeFiredClaim(bad)) << bad.constData();
}

} // namespace
} // namespace promemo::note
