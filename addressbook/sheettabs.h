#pragma once

#include <QColor>

#include <array>

#include "addressbook/core/addressbook.h"

class QLabel;
class QObject;
class QWidget;

namespace promemo::rubrica {

// The 44 folder tabs (lblFolder) and the sheet's background label (lblScheda) on the window.
class SheetTabs
{
public:
    explicit SheetTabs(QWidget *window);

    QLabel *tab(int index) const { return m_tabs.at(index); }
    QLabel *sheet() const { return m_sheet; }
    // The index of the tab `object` is, or -1.
    int indexOf(const QObject *object) const;
    // The chosen tab in bold and the sheet colour, the others in the tab colour.
    void paint(int chosen, const QColor &tabColour, const QColor &sheetColour);

private:
    QLabel *m_sheet = nullptr;
    std::array<QLabel *, kSheets> m_tabs{};
};

} // namespace promemo::rubrica
