#include "widgets/twodigitbox.h"

#include <algorithm>

#include <QKeyEvent>
#include <QRegularExpressionValidator>

namespace promemo {

TwoDigitBox::TwoDigitBox(QWidget *parent, int left, int top, const QString &text)
    : QLineEdit(text, parent)
{
    setGeometry(left, top, 21, 19);
    setMaxLength(2);
    setAlignment(Qt::AlignCenter);
    setTextMargins(0, 0, 0, 0);
    setContextMenuPolicy(Qt::NoContextMenu);
    // Typed keys are sorted below; this keeps pasted or dropped text to digits too.
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,2}")), this));
}

void TwoDigitBox::enter()
{
    m_typed = 0;
    selectAll();
}

void TwoDigitBox::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        emit back();
        return;
    case Qt::Key_Right:
    case Qt::Key_Down:
        emit on();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit enterPressed();
        return;
    case Qt::Key_Backspace:
        m_typed = std::max(0, m_typed - 1);
        QLineEdit::keyPressEvent(event);
        return;
    default:
        break;
    }
    const QString text = event->text();
    // Keys without a character and shortcuts (Tab, Home, Ctrl+C) keep their usual meaning.
    if (text.isEmpty() || !text.front().isPrint()
        || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (text.size() == 1 && text.front() >= u'0' && text.front() <= u'9') {
        insert(text);
        if (++m_typed == 2)
            emit secondDigit();
        return;
    }
    emit refused();
}

} // namespace promemo
