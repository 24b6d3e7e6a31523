#pragma once

#include <QStyledItemDelegate>

namespace promemo::calendar {

// Year-list lines with tab stops every eight average characters, as classic list boxes set
// them, so the runs of blanks before "Festività Nazionale" line the column up.
class YearListDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};

} // namespace promemo::calendar
