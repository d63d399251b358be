#include "Json.h"

#include <QJsonDocument>

namespace vantora::runtime::json {

namespace {

[[noreturn]] void mismatch(const QString &path, const char *expected)
{
    throw DecodingError(path, QStringLiteral("expected %1").arg(QLatin1String(expected)));
}

} // namespace

QJsonValue parse(const QByteArray &text)
{
    if (text.trimmed().isEmpty())
        throw DecodingError({}, QStringLiteral("the data is empty"));
    QJsonParseError error;
    // Skips one leading UTF-8 byte order mark, as the bridge's reader does.
    const auto document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        throw DecodingError({}, QStringLiteral("the data is not valid JSON (%1 at offset %2)")
                                    .arg(error.errorString())
                                    .arg(error.offset));
    if (document.isArray())
        return document.array();
    if (document.isObject())
        return document.object();
    throw DecodingError({}, QStringLiteral("the data is not a JSON object or array"));
}

QString memberPath(const QString &parent, QStringView key)
{
    return parent.isEmpty() ? key.toString() : parent + QLatin1Char('.') + key.toString();
}

QString elementPath(const QString &parent, qsizetype index)
{
    return parent + QLatin1Char('[') + QString::number(index) + QLatin1Char(']');
}

template <>
bool decode<bool>(const QJsonValue &value, const QString &path)
{
    if (!value.isBool())
        mismatch(path, "a boolean");
    return value.toBool();
}

template <>
double decode<double>(const QJsonValue &value, const QString &path)
{
    if (!value.isDouble())
        mismatch(path, "a number");
    return value.toDouble();
}

template <>
QString decode<QString>(const QJsonValue &value, const QString &path)
{
    if (!value.isString())
        mismatch(path, "a string");
    return value.toString();
}

template <>
QJsonObject decode<QJsonObject>(const QJsonValue &value, const QString &path)
{
    if (!value.isObject())
        mismatch(path, "an object");
    return value.toObject();
}

template <>
QJsonArray decode<QJsonArray>(const QJsonValue &value, const QString &path)
{
    if (!value.isArray())
        mismatch(path, "an array");
    return value.toArray();
}

template <>
ObjectReader decode<ObjectReader>(const QJsonValue &value, const QString &path)
{
    return ObjectReader(decode<QJsonObject>(value, path), path);
}

qint64 decodeInteger(const QJsonValue &value, const QString &path, qint64 minimum, qint64 maximum)
{
    if (!value.isDouble())
        mismatch(path, "an integer");
    // Qt keeps integers that fit in 64 bits exactly; anything else arrives as a double.
    // toInteger() answers its default for those, so two different defaults agree only on
    // a real integer, the most negative one included.
    const qint64 exact = value.toInteger(0);
    if (exact != value.toInteger(1)) {
        const double number = value.toDouble();
        if (!std::isfinite(number) || std::trunc(number) != number)
            mismatch(path, "an integer");
        throw DecodingError(path, QStringLiteral("integer out of range"));
    }
    if (exact < minimum || exact > maximum)
        throw DecodingError(path, QStringLiteral("integer out of range"));
    return exact;
}

ObjectReader::ObjectReader(QJsonObject object, QString path)
    : m_object(std::move(object))
    , m_path(std::move(path))
{
}

bool ObjectReader::has(QStringView key) const
{
    const QJsonValue value = m_object.value(key);
    return !value.isUndefined() && !value.isNull();
}

} // namespace vantora::runtime::json
