#pragma once

#include <QString>

#include <optional>
#include <vector>

#include "common/notename.h"

namespace promemo {

struct ListedNote
{
    QString fileName;   // bare name
    NoteName name;
};

struct NoteFilter
{
    std::optional<NoteState> state;   // both states when unset
    std::optional<int> day;           // every day when unset
};

// The note files in `folder` that pass `filter`, shown before put away, then by day, then by
// file name. Names that do not decode
// are skipped. A day is matched on the decoded day number, so day 1234 never picks up the notes
// of day 12345.
std::vector<ListedNote> listNotes(const QString &folder, const NoteFilter &filter = {});

} // namespace promemo
