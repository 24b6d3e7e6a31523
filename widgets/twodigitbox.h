#pragma once

#include <QLineEdit>

namespace promemo {

// A box of two digits, as the alert set-up and the recurrence editor have them: it takes digits
// only (typed, pasted or dropped), counts the digits typed since it was entered, and reports the
// keys the window moves the focus by. The window decides when the box is entered anew.
class TwoDigitBox final : public QLineEdit
{
    Q_OBJECT
public:
    // At `left`, `top` of `parent`, 21 by 19 pixels, showing `text`.
    TwoDigitBox(QWidget *parent, int left, int top, const QString &text = {});

    // Entered anew: the text selected, the digit counter back to 0.
    void enter();
    int typed() const { return m_typed; }

signals:
    void secondDigit();   // the second digit since it was entered: the focus moves on
    void refused();       // a key with a character that is not a digit
    void back();          // Left or Up
    void on();            // Right or Down
    void enterPressed();  // Return or Enter

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    int m_typed = 0;
};

} // namespace promemo
