#pragma once

#include <QApplication>
#include <QTest>

// Keys as the keyboard sends them: each to whichever widget has the focus at that moment.
namespace promemo::test {

inline QWidget *focused() { return QApplication::focusWidget(); }
inline void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(focused(), key, modifiers); }

inline void type(const QString &keys)
{
    for (const QChar c : keys)
        QTest::keyClick(focused(), c.toLatin1());
}

} // namespace promemo::test
