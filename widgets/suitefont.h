#pragma once

#include <QFont>

namespace promemo {

// The suite's dialog font: the classic sans serif, Liberation Sans where it is missing, whose
// widths keep the captions within their boxes.
QFont suiteFont(qreal points = 8);

} // namespace promemo
