#include "controls/Readouts.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace vantora::controls::readouts {

long long rounded(double value)
{
    if (!std::isfinite(value))
        return 0;
    return std::llround(std::clamp(value, -1e15, 1e15));
}

QString percentSign(double value)
{
    return QCoreApplication::translate("Readouts", "%1%").arg(QLocale().toString(rounded(value)));
}

QString percentWord(double value)
{
    return QCoreApplication::translate("Readouts", "%1 percent").arg(rounded(value));
}

QString noValue() { return QStringLiteral("\u2014"); }

} // namespace vantora::controls::readouts
