#pragma once
// GoogleTest prints QString values in failure messages as readable text.
#include <QString>

#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
