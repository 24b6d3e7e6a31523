#include "launcher/notelinedelegate.h"

#include <QApplication>
#include <QFrame>
#include <QListWidget>
#include <QPainter>
#include <QStyle>

#include <algorithm>

#include "launcher/core/notelistsession.h"

namespace promemo::launcher {

namespace {

// How far a list reaches left of its frame: its text margin and `key`, the sort key with the
// blanks after it but one, which thus stays in view as a gutter.
int hiddenWidth(const QListWidget &list, const QString &key)
{
    const int textMargin = list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1;
    return textMargin + list.fontMetrics().horizontalAdvance(key) + 1;
}

} // namespace

void NoteLineDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    QStyleOptionViewItem item(option);
    initStyleOption(&item, index);
    const QString text = item.text;
    const qsizetype tab = text.indexOf(u'\t');
    const bool placeholder = text == NoteListSession::placeholder();
    if (tab < 0 && !placeholder) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    item.text.clear();
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget)
                           .adjusted(margin, 0, 0, 0);
    const QFontMetrics metrics(item.font);
    const bool selected = item.state & QStyle::State_Selected;
    const QPalette::ColorGroup group =
        item.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    painter->save();
    painter->setFont(item.font);
    painter->setPen(item.palette.color(group, selected ? QPalette::HighlightedText
                                                       : QPalette::Text));
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    if (placeholder) {
        const int left = m_hidden - margin + metrics.horizontalAdvance(u' ');
        painter->drawText(area.adjusted(left, 0, 0, 0), flags, text.trimmed());
        painter->restore();
        return;
    }
    // The widest date column, with room for a few blanks after it.
    const int column = std::max(metrics.horizontalAdvance(u"00000 00/00/0000 -00.00"_qs),
                                metrics.horizontalAdvance(u"00000 00/00/0000 -     nd"_qs))
                       + metrics.horizontalAdvance(u"    "_qs);
    painter->drawText(area, flags, text.left(tab));
    // The file name at the end stays out of view however wide the blanks before it are.
    QString note = text.mid(tab + 1);
    const QString fileName = index.data(FileNameRole).toString();
    if (!fileName.isEmpty() && note.endsWith(fileName))
        note.chop(fileName.size());
    painter->drawText(area.adjusted(column, 0, 0, 0), flags, note);
    painter->restore();
}

QListWidget *listInFrame(QFrame *frame, const QString &hiddenKey)
{
    frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto *clip = new QWidget(frame);
    clip->setGeometry(frame->contentsRect());
    auto *list = new QListWidget(clip);
    list->setFrameShape(QFrame::NoFrame);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setTextElideMode(Qt::ElideNone);
    list->setUniformItemSizes(true);
    const int hidden = hiddenWidth(*list, hiddenKey);
    list->setItemDelegate(new NoteLineDelegate(hidden, list));
    list->setGeometry(-hidden, 0, clip->width() + hidden, clip->height());
    return list;
}

} // namespace promemo::launcher
