#pragma once

#include <QAccessible>
#include <QHash>
#include <QString>

namespace vantora::testing {

// The text a reader says as a control's value where the control gives its value as text
// alone: its description before Qt 6.8, its "valuetext" attribute from then on.
inline QString spokenValue(QAccessibleInterface *element)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    const QVariant attribute = element->attributesInterface()->attributeValue(QAccessible::Attribute::Custom);
    return attribute.value<QHash<QString, QString>>().value(QStringLiteral("valuetext"));
#else
    return element->text(QAccessible::Description);
#endif
}

} // namespace vantora::testing
