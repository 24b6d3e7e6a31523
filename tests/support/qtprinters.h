#pragma once

// GoogleTest prints Qt values as text instead of bytes (included into every test); its own
// printer of std::optional calls these for the values inside.
#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTime>

#include <ostream>

inline void PrintTo(const QString &value, std::ostream *out) { *out << '"' << value.toStdString() << '"'; }
inline void PrintTo(const QStringList &value, std::ostream *out)
{
    *out << '{';
    for (qsizetype i = 0; i < value.size(); ++i)
        *out << (i ? ", \"" : "\"") << value[i].toStdString() << '"';
    *out << '}';
}
inline void PrintTo(const QByteArray &value, std::ostream *out)
{
    *out << '"' << value.toStdString() << "\" (" << value.size() << " bytes)";
}
inline void PrintTo(const QDate &value, std::ostream *out) { *out << value.toString(Qt::ISODate).toStdString(); }
inline void PrintTo(const QTime &value, std::ostream *out) { *out << value.toString(Qt::ISODateWithMs).toStdString(); }
inline void PrintTo(const QDateTime &value, std::ostream *out) { *out << value.toString(Qt::ISODateWithMs).toStdString(); }
inline void PrintTo(const QPoint &value, std::ostream *out) { *out << '(' << value.x() << ", " << value.y() << ')'; }
inline void PrintTo(const QSize &value, std::ostream *out) { *out << value.width() << 'x' << value.height(); }
inline void PrintTo(const QRect &value, std::ostream *out)
{
    *out << value.width() << 'x' << value.height() << '+' << value.x() << '+' << value.y();
}
#if __has_include(<QColor>)
#include <QColor>
inline void PrintTo(const QColor &value, std::ostream *out)
{
    *out << "rgb(" << value.red() << ", " << value.green() << ", " << value.blue() << ')';
}
#endif
