#pragma once

class QLineEdit;
class QPlainTextEdit;

namespace promemo {

// Text typed or pasted into a box whose text goes into a data file is turned at once into what
// the file will hold (cp1252::storable): a character the file cannot hold shows as '?' while the
// user is still looking, not only after the next load. A one-line box holds one line: a line
// break or a TAB that reaches it (a middle-click paste, a text loaded from a file) is a blank.
void keepStorable(QLineEdit &box);
void keepStorable(QPlainTextEdit &box);

} // namespace promemo
