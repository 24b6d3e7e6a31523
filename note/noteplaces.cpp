// Where a fired note goes: the middle of the screen, or, when other fired notes are there, the
// first place down and right of it that none holds. The notes learn each other's places from
// the window registry; those that fire at the same moment look again until they agree.
#include "note/notewindow.h"

#include <QCoreApplication>

#include "common/twips.h"

using namespace std::chrono_literals;

namespace promemo::note {

namespace {

// Notes fired together publish their first places within this; each look costs a request to
// every note.
constexpr auto kFiredLookAgain = 200ms;
// Looks in all, and looks in a row that must change nothing before a note stays.
constexpr int kFiredLooks = 8;
constexpr int kQuietFiredLooks = 2;

} // namespace

void frmNotino::placeFired()
{
    const qint64 since = m_services.clock.now().toMSecsSinceEpoch();
    m_firedClaim = FiredClaim{-1, since, QCoreApplication::applicationPid()};
    if (m_registration)
        m_registration->setState([this] { return firedState(); });
    lookForFiredPlace(since, kFiredLooks, 0);
}

void frmNotino::lookForFiredPlace(qint64 since, int looksLeft, int quietLooks)
{
    m_services.windows.statesOf(QString::fromUtf16(kNoteCaption), this,
                                [this, since, looksLeft, quietLooks](const QByteArrayList &states) {
        // Re-armed, fired anew or ended meanwhile: this placing is over.
        if (m_ended || !m_note.alertFired || !m_firedClaim || m_firedClaim->since != since)
            return;
        // Moved away by the user: it stays where it was put.
        if (m_firedClaim->slot >= 0 && firedSlotHere() != m_firedClaim->slot)
            return;
        QList<FiredClaim> others;
        for (const QByteArray &state : states) {
            if (const auto claim = decodeFiredClaim(state); claim && !claim->sameNote(*m_firedClaim))
                others.append(*claim);
        }
        const QSize own(pixelsToTwips(width()), pixelsToTwips(height()));
        const int slot = firedSlot(*m_firedClaim, others, firedSlotCount(screenTwips(), own));
        const bool moves = slot != m_firedClaim->slot;
        if (moves) {
            m_firedClaim->slot = slot;
            const QPoint place = firedSlotTopLeft(slot, screenTwips(), own);
            moveTwips(place.x(), place.y());
        }
        const int quiet = moves ? 0 : quietLooks + 1;
        if (looksLeft > 1 && quiet < kQuietFiredLooks) {
            m_services.clock.after(kFiredLookAgain, this, [this, since, looksLeft, quiet] {
                lookForFiredPlace(since, looksLeft - 1, quiet);
            });
        }
    });
}

int frmNotino::firedSlotHere() const
{
    return firedSlotAtPixels(pos(), screenTwips(), {pixelsToTwips(width()), pixelsToTwips(height())});
}

// Told while the note is fired, shown and at its place; a note moved away, set again or going
// holds none.
QByteArray frmNotino::firedState() const
{
    if (m_ended || !isVisible() || !m_note.alertFired || !m_firedClaim || m_firedClaim->slot < 0
        || firedSlotHere() != m_firedClaim->slot)
        return {};
    return encodeFiredClaim(*m_firedClaim);
}

} // namespace promemo::note
