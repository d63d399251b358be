#pragma once

// Strict decoding of JSON from outside (the bridge, stored files). A missing or null
// required key, a value of the wrong type, or a number that is not an integer in range
// where an integer is required is a DecodingError naming the path; optional keys that are
// missing or null are absent; unknown keys are ignored. Nothing is coerced.

#include "Errors.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <cmath>
#include <concepts>
#include <limits>
#include <optional>
#include <vector>

namespace vantora::runtime::json {

// The document of a reply or file: an object or an array. Empty or malformed text, or a
// bare scalar, is a DecodingError.
QJsonValue parse(const QByteArray &text);

QString memberPath(const QString &parent, QStringView key);
QString elementPath(const QString &parent, qsizetype index);

class ObjectReader;

// Converts one present, non-null value; throws DecodingError on a type mismatch.
template <typename T>
T decode(const QJsonValue &value, const QString &path);

template <>
bool decode<bool>(const QJsonValue &value, const QString &path);
template <>
double decode<double>(const QJsonValue &value, const QString &path);
template <>
QString decode<QString>(const QJsonValue &value, const QString &path);
template <>
QJsonObject decode<QJsonObject>(const QJsonValue &value, const QString &path);
template <>
QJsonArray decode<QJsonArray>(const QJsonValue &value, const QString &path);
template <>
ObjectReader decode<ObjectReader>(const QJsonValue &value, const QString &path);

// Integers: integral numbers within the type's range.
qint64 decodeInteger(const QJsonValue &value, const QString &path, qint64 minimum, qint64 maximum);

template <std::integral T>
    requires(!std::same_as<T, bool>)
T decodeIntegral(const QJsonValue &value, const QString &path)
{
    return static_cast<T>(decodeInteger(value, path, std::numeric_limits<T>::min(),
                                        static_cast<qint64>(std::min<unsigned long long>(
                                            std::numeric_limits<T>::max(), std::numeric_limits<qint64>::max()))));
}

template <>
inline int decode<int>(const QJsonValue &value, const QString &path) { return decodeIntegral<int>(value, path); }
template <>
inline qint64 decode<qint64>(const QJsonValue &value, const QString &path) { return decodeIntegral<qint64>(value, path); }

// Reads the members of one JSON object, tracking its path for errors.
class ObjectReader final {
public:
    explicit ObjectReader(QJsonObject object, QString path = {});

    const QJsonObject &object() const noexcept { return m_object; }
    const QString &path() const noexcept { return m_path; }
    QString pathOf(QStringView key) const { return memberPath(m_path, key); }

    bool has(QStringView key) const;

    template <typename T>
    T required(QStringView key) const
    {
        const QJsonValue value = m_object.value(key);
        if (value.isUndefined())
            throw DecodingError(pathOf(key), QStringLiteral("required key is missing"));
        if (value.isNull())
            throw DecodingError(pathOf(key), QStringLiteral("required key is null"));
        return decode<T>(value, pathOf(key));
    }

    template <typename T>
    std::optional<T> optional(QStringView key) const
    {
        const QJsonValue value = m_object.value(key);
        if (value.isUndefined() || value.isNull())
            return std::nullopt;
        return decode<T>(value, pathOf(key));
    }

private:
    QJsonObject m_object;
    QString m_path;
};

// Decodes every element of an array with `element(value, path)`.
template <typename Element>
auto decodeArray(const QJsonArray &array, const QString &path, Element &&element)
{
    using Result = decltype(element(QJsonValue(), QString()));
    std::vector<Result> results;
    results.reserve(std::size_t(array.size()));
    for (qsizetype i = 0; i < array.size(); ++i)
        results.push_back(element(array.at(i), elementPath(path, i)));
    return results;
}

} // namespace vantora::runtime::json
