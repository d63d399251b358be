#pragma once

// Readable GoogleTest failures for Qt values (QString, and through it QStringList).

#include <QString>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
