#pragma once

#include <QStyledItemDelegate>

class QFrame;
class QListWidget;

namespace promemo::launcher {

// Draws a note line's text after its TAB in one column, whatever the width of the time before,
// and the placeholder one blank in from the frame's edge, `hidden` pixels from the line's start.
class NoteLineDelegate final : public QStyledItemDelegate
{
public:
    // Each line of a note keeps its bare file name here; placeholders have none.
    static constexpr int FileNameRole = Qt::UserRole;

    NoteLineDelegate(int hidden, QObject *parent) : QStyledItemDelegate(parent), m_hidden(hidden) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    int m_hidden;
};

// A list inside `frame`, cut off on the left by the frame so that `hiddenKey`, the sort key
// that starts each line, stays out of view.
QListWidget *listInFrame(QFrame *frame, const QString &hiddenKey);

} // namespace promemo::launcher
