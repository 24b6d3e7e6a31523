#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <functional>
#include <optional>

#include "addressbook/core/addressbook.h"

// The address book's editing rules, free of widgets: moving between cells, the clipboard
// commands, inserting and deleting rows, and the search over the data file.
namespace promemo::rubrica {

enum class Column { Name = 1, Number = 2 };

struct CellRef
{
    int row = 1; // 1..44
    Column column = Column::Name;

    bool operator==(const CellRef &) const = default;
};

enum class MoveKey { Enter, Left, Right, Up, Down, PageUp, PageDown };
// The moving key a Qt::Key is, if any (Return and keypad Enter are both Enter).
std::optional<MoveKey> moveKeyOf(int qtKey);

// The cell a key moves to from `from`. Left and Right do not move while the focus came by a
// mouse click (`mouseClicked`): the caret moves in the text instead, and the result is empty.
// Right and Left walk name i, number i, name i + 22, number i + 22, name i + 1; Enter walks
// name i, number i, name i + 1; Up/Down wrap between rows 1 and 44 in the same column.
std::optional<CellRef> moveTarget(CellRef from, MoveKey key, bool mouseClicked);

// Marked cells of one column, rows 1..44 at indexes 0..43.
using Marks = std::array<bool, kRows>;

// Cut / copy: the texts of the marked cells of `column`, each followed by LF. Cut empties those
// cells and makes them plain and black.
QString copyMarked(const Sheet &sheet, Column column, const Marks &marked);
QString cutMarked(Sheet &sheet, Column column, const Marks &marked);

// Line breaks of pasted text: no CR, unchanged; CR and LF, every CR removed and an LF directly
// followed by another LF removed; CR without LF, every CR becomes LF.
QString annullaVbCr(QString text);

// Appends the lines of (normalised) `text` to the cells of `column` from `row` down; lines
// past row 44 are dropped. Returns the current row afterwards: the last row that received a
// line for text ending in a line break, never below 1.
int pasteLines(Sheet &sheet, Column column, int row, QString text);

// A paste into cell `at` itself (Ctrl+V, its menu, a drop) by the rules of Incolla: the text
// normalised, its first line in place of `length` characters from `from` of the cell's text
// (the caret or the selection), each further line appended to the next row as pasteLines does.
// Returns the current row afterwards; empty, with nothing pasted, when the text holds a TAB.
std::optional<int> pasteIntoCell(Sheet &sheet, CellRef at, int from, int length, const QString &text);

// Rows `row`..43 move one down with all attributes (row 44 is lost); row `row` becomes empty.
void insertRow(Sheet &sheet, int row);
// Rows `row` + 1..44 move one up; row 44 becomes empty.
void deleteRow(Sheet &sheet, int row);

// Search over all sheets in file order, ignoring blanks, points, slashes, hyphens and case.

// The search box's text without leading and trailing blanks and without ". /-".
QString searchKey(QStringView typed);
// A field without trailing blanks and without ". /-".
QString comparedText(QStringView field);
// The upper-case key occurs in the upper-case compared text.
bool matches(QStringView key, QStringView compared);

struct SearchState
{
    int position = 1; // PosRicerca: the record where the next step starts
    int lastHit = 0;  // UltimoTrovato
    bool found = false;

    void restart() { *this = SearchState{}; }
};

struct SearchHit
{
    int record = 0;
    Column column = Column::Name;

    bool operator==(const SearchHit &) const = default;
};

// Name and number fields of a record as stored (Windows-1252 decoded, blanks kept).
struct RecordTexts
{
    QString name;
    QString number;
};

// One search step (Cerca) from state.position: the next hit, or empty at the end of the pass
// (the state is then restarted). A record matching in name and number gives two hits, first
// the name, then the number. `read` returns empty for a record it cannot read (skipped).
std::optional<SearchHit> searchStep(SearchState &state, QStringView key,
                                    const std::function<std::optional<RecordTexts>(int)> &read);

// Reads the two text fields of a record of `file` for searchStep.
std::optional<RecordTexts> recordTexts(DataFile &file, int record);

// The address book's colours (section "Rubrica"): index 0 of both tables is the system's
// button-face colour (empty here); 1..7 as listed.
inline constexpr int kColourChoices = 8;
std::optional<Rgb> tabColour(int index);   // ColTasti
std::optional<Rgb> sheetColour(int index); // ColSfondo

} // namespace promemo::rubrica
