#pragma once

#include <QString>

// The numbers the controls show and read out: rounded to the nearest integer with halves
// away from zero. A value that is not finite reads as 0 rather than as "nan".
namespace vantora::controls::readouts {

long long rounded(double value);
// "42%".
QString percentSign(double value);
// "42 percent".
QString percentWord(double value);
// "—": no value to show.
QString noValue();

} // namespace vantora::controls::readouts
