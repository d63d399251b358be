#pragma once

// Readable GoogleTest failures for Qt values (QString, and through it QStringList; QSize).

#include <QSize>
#include <QString>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QSize &size, std::ostream *out)
{
    *out << size.width() << " × " << size.height();
}
