#pragma once

#include <QRect>
#include <QSize>

#include "addressbook/core/addressbookedit.h"

// Where the address book's window puts its tabs, its sheet and its cells, in pixels.
namespace promemo::rubrica::layout {

QSize windowSize();
// The sheet behind the grid, below the two rows of tabs.
QRect sheetRect();
// The tab of `sheet`: 22 columns of two tabs, the lower row nearer the sheet.
QRect tabRect(int sheet);
// Rows 1..22 on the left page, 23..44 on the right; a number cell shares its left ruling line
// with its name cell.
QRect cellRect(CellRef ref);

} // namespace promemo::rubrica::layout
