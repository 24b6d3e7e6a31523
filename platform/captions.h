#pragma once

// The window captions by which the suite's programs find one another in the window registry.
namespace promemo {

// The launcher's entry while it runs; the other programs end at once without it.
inline constexpr char16_t kTrayCaption[] = u"NotinoTray";
// The due-note watcher.
inline constexpr char16_t kWatcherCaption[] = u"NotinoControl";
// Every note window.
inline constexpr char16_t kNoteCaption[] = u"PromemoX";
inline constexpr char16_t kAddressBookCaption[] = u" Rubrica di Promemo";
// The calendar's caption is this followed by the long date of the day it opened.
inline constexpr char16_t kCalendarCaptionPrefix[] = u" Calendario di Promemo - ";
// The help viewer; nothing opens while a window with it exists.
inline constexpr char16_t kHelpCaption[] = u"Help di Promemo";
// The launcher's archive viewer and recurrence editor, brought forward when opened again.
inline constexpr char16_t kArchiveCaption[] = u"  Archivio Notino";
inline constexpr char16_t kRecurrenceEditorCaption[] = u"  Editor Ricorrenze";

} // namespace promemo
