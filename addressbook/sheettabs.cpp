#include "addressbook/sheettabs.h"

#include <QLabel>

#include <algorithm>

#include "addressbook/sheetlayout.h"
#include "widgets/suitefont.h"

namespace promemo::rubrica {

namespace {

void fill(QLabel *label, const QColor &colour)
{
    QPalette colours = label->palette();
    colours.setColor(QPalette::Window, colour);
    label->setPalette(colours);
}

} // namespace

SheetTabs::SheetTabs(QWidget *window) : m_sheet(new QLabel(window))
{
    m_sheet->setObjectName(QStringLiteral("lblScheda"));
    m_sheet->setGeometry(layout::sheetRect());
    m_sheet->setAutoFillBackground(true);
    m_sheet->setFrameStyle(QFrame::Box | QFrame::Plain);

    const QFont tabFont = suiteFont(7.5);
    for (int index = 0; index < kSheets; ++index) {
        auto *tab = new QLabel(sheetCaption(index), window);
        tab->setObjectName(QStringLiteral("lblFolder%1").arg(index));
        tab->setGeometry(layout::tabRect(index));
        tab->setAlignment(Qt::AlignCenter);
        tab->setAutoFillBackground(true);
        tab->setFrameStyle(QFrame::Box | QFrame::Plain);
        tab->setFont(tabFont);
        tab->setCursor(Qt::PointingHandCursor);
        m_tabs[index] = tab;
    }
}

int SheetTabs::indexOf(const QObject *object) const
{
    const auto found = std::find(m_tabs.begin(), m_tabs.end(), object);
    return found == m_tabs.end() ? -1 : int(found - m_tabs.begin());
}

void SheetTabs::paint(int chosen, const QColor &tabColour, const QColor &sheetColour)
{
    for (int index = 0; index < kSheets; ++index) {
        QLabel *tab = m_tabs[index];
        QFont font = tab->font();
        font.setBold(index == chosen);
        tab->setFont(font);
        fill(tab, index == chosen ? sheetColour : tabColour);
    }
    fill(m_sheet, sheetColour);
}

} // namespace promemo::rubrica
