#include "bridge/StrictJson.h"

#include <cmath>
#include <cstring>
#include <new>
#include <string_view>

namespace vantora::strictjson {

namespace {

// Every 64-bit integer lies in [-2^63, 2^63); both bounds are exact doubles.
constexpr double twoToThe63 = 9223372036854775808.0;

[[noreturn]] void mismatch(const Path &path, const char *expected)
{
    throw runtime::DecodingError(path.text(), QStringLiteral("expected %1").arg(QLatin1String(expected)));
}

[[noreturn]] void fail(const Path &path, const char *reason)
{
    throw runtime::DecodingError(path.text(), QLatin1String(reason));
}

[[noreturn]] void outOfRange(const Path &path)
{
    throw runtime::DecodingError(path.text(), QStringLiteral("integer out of range"));
}

// The length of one leading UTF-8 byte order mark, which some writers put before JSON and
// RFC 8259 lets a reader ignore, as Qt's reader of the other JSON from outside does.
std::size_t byteOrderMarkLength(QByteArrayView text)
{
    static constexpr QByteArrayView mark("\xEF\xBB\xBF");
    return text.startsWith(mark) ? std::size_t(mark.size()) : 0;
}

} // namespace

QString Path::text() const
{
    if (!m_parent)
        return {};
    const QString parent = m_parent->text();
    if (m_key.isEmpty())
        return parent + QLatin1Char('[') + QString::number(m_index) + QLatin1Char(']');
    return parent.isEmpty() ? QString(m_key) : parent + QLatin1Char('.') + m_key;
}

Element DocumentParser::parse(const QByteArray &text)
{
    const std::size_t skipped = byteOrderMarkLength(text);
    // Newer simdjson skips one mark of its own accord, which would let a second one through.
    if (byteOrderMarkLength(QByteArrayView(text).sliced(qsizetype(skipped))) != 0)
        throw runtime::DecodingError({}, QStringLiteral("the data is not valid JSON (a second byte order mark)"));
    const std::size_t size = std::size_t(text.size()) - skipped;
    if (m_paddedCapacity < size + simdjson::SIMDJSON_PADDING) {
        m_paddedCapacity = size + simdjson::SIMDJSON_PADDING;
        m_padded = std::make_unique_for_overwrite<char[]>(m_paddedCapacity);
    }
    std::memcpy(m_padded.get(), text.constData() + skipped, size);
    std::memset(m_padded.get() + size, 0, simdjson::SIMDJSON_PADDING);

    Element root;
    const auto error = m_parser.parse(m_padded.get(), size, false).get(root);
    if (error == simdjson::EMPTY)
        throw runtime::DecodingError({}, QStringLiteral("the data is empty"));
    if (error)
        throw runtime::DecodingError({}, QStringLiteral("the data is not valid JSON (%1)")
                                             .arg(QLatin1String(simdjson::error_message(error))));
    if (!root.is_object() && !root.is_array())
        throw runtime::DecodingError({}, QStringLiteral("the data is not a JSON object or array"));
    return root;
}

template <>
bool decode<bool>(Element value, const Path &path)
{
    bool result = false;
    if (value.get(result))
        mismatch(path, "a boolean");
    return result;
}

template <>
double decode<double>(Element value, const Path &path)
{
    // Integers too: simdjson keeps 64-bit integers apart from doubles.
    if (!value.is_number())
        mismatch(path, "a number");
    return value.get_double().value_unsafe();
}

template <>
std::string_view decode<std::string_view>(Element value, const Path &path)
{
    std::string_view text;
    if (value.get(text))
        mismatch(path, "a string");
    return text;
}

template <>
QString decode<QString>(Element value, const Path &path)
{
    const auto text = decode<std::string_view>(value, path);
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

template <>
Array decode<Array>(Element value, const Path &path)
{
    Array array;
    if (value.get(array))
        mismatch(path, "an array");
    return array;
}

qint64 decodeInteger(Element value, const Path &path, qint64 minimum, qint64 maximum)
{
    qint64 exact = 0;
    switch (value.type()) {
    case simdjson::dom::element_type::INT64:
        exact = value.get_int64().value_unsafe();
        break;
    case simdjson::dom::element_type::UINT64:
        // Only values from 2^63 on are kept unsigned.
        outOfRange(path);
    case simdjson::dom::element_type::DOUBLE: {
        // "250.0" names an integer as well as "250" does.
        const double number = value.get_double().value_unsafe();
        if (std::trunc(number) != number)
            mismatch(path, "an integer");
        if (number < -twoToThe63 || number >= twoToThe63)
            outOfRange(path);
        exact = qint64(number);
        break;
    }
    default:
        mismatch(path, "an integer");
    }
    if (exact < minimum || exact > maximum)
        outOfRange(path);
    return exact;
}

ObjectReader::ObjectReader(Element value, const Path &path)
    : m_path(path)
{
    if (value.get(m_object))
        mismatch(path, "an object");
    for (auto member = m_object.begin(), end = m_object.end(); member != end; ++member) {
        if (m_memberCount < gatheredMembers) {
            const std::string_view key = member.key();
            new (m_members + m_memberCount * sizeof(Member)) Member{key, member.value()};
            m_signatures[m_memberCount] = signatureOf(key);
        }
        ++m_memberCount;
    }
}

std::optional<Element> ObjectReader::walkForLastValue(std::string_view key) const
{
    std::optional<Element> found;
    for (const auto member : m_object) {
        if (member.key == key)
            found = member.value;
    }
    return found;
}

void ObjectReader::failMissing(const Path &path, bool isNull)
{
    fail(path, isNull ? "required key is null" : "required key is missing");
}

} // namespace vantora::strictjson
