#include "Strings.h"

#include <QCollator>

#include <algorithm>

namespace vantora::runtime {

bool containsNonHexDigit(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        const bool hex = (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
        return !hex;
    });
}

bool isBridgeId(QStringView text)
{
    return text.size() == 16 && !containsNonHexDigit(text);
}

int localizedStandardCompare(const QString &a, const QString &b)
{
    // Made per call: the locale may change while the app runs.
    return localizedStandardCollator().compare(a, b);
}

QCollator localizedStandardCollator()
{
    // Qt collates the C locale (LANG unset or LANG=C, as under many session managers) by
    // plain code points, ignoring numeric mode; English collation is the neutral order.
    const QLocale locale = QLocale().language() == QLocale::C ? QLocale(QLocale::English) : QLocale();
    QCollator collator(locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

int codePointCompare(QStringView a, QStringView b)
{
    const auto ua = a.toUcs4();
    const auto ub = b.toUcs4();
    return std::lexicographical_compare_three_way(ua.begin(), ua.end(), ub.begin(), ub.end()) < 0
        ? -1
        : (ua == ub ? 0 : 1);
}

QString uppercaseUuidText(const QUuid &uuid)
{
    return uuid.toString(QUuid::WithoutBraces).toUpper();
}

} // namespace vantora::runtime
