#pragma once

// Strict decoding of the bridge's replies over simdjson's DOM. The whole document is
// validated before anything is read (RFC 8259: no raw control characters in strings, no
// unpaired surrogate escapes, no number beyond a double, no integer beyond 64 bits).
// Afterwards a missing or null required key, a value of the wrong type, or a number that
// is not an integer in range where an integer is required is a DecodingError naming the
// path; optional keys that are missing or null are absent; unknown keys are ignored.
// Nothing is coerced. Paths are only spelled out when a fault is reported.
//
// Only the bridge's decoders include this header, so simdjson stays out of everyone
// else's.

#include "runtime/Errors.h"

#include <QByteArray>
#include <QLatin1String>
#include <QString>

#include <simdjson.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <string_view>
#include <type_traits>
#include <vector>

namespace vantora::strictjson {

using Element = simdjson::dom::element;
using Array = simdjson::dom::array;

// Where a value sits in its document: a chain of small frames on the decoders' stacks,
// each naming its parent, which must outlive it. Building one costs nothing; text() is
// called only for an error.
class Path final {
public:
    // The document itself, whose text is empty.
    Path() = default;

    Path member(QLatin1String key) const { return Path(this, key, 0); }
    Path element(std::size_t index) const { return Path(this, {}, index); }

    // "data[3].dimming.brightness"
    QString text() const;

private:
    Path(const Path *parent, QLatin1String key, std::size_t index)
        : m_parent(parent)
        , m_key(key)
        , m_index(index)
    {
    }

    const Path *m_parent = nullptr;
    QLatin1String m_key{}; // empty for an array element
    std::size_t m_index = 0;
};

// Parses whole documents, keeping its buffers from one document to the next. Each parse
// invalidates the elements of the one before.
class DocumentParser final {
public:
    // The root of `text`, an object or an array, read after one leading byte order mark.
    // Empty or malformed text, or a bare scalar, is a DecodingError with an empty path.
    Element parse(const QByteArray &text);

private:
    simdjson::dom::parser m_parser;
    // simdjson reads a little past the end of the text; the copy gives it room to.
    std::unique_ptr<char[]> m_padded;
    std::size_t m_paddedCapacity = 0;
};

class ObjectReader;

// Converts one present, non-null value; throws DecodingError on a type mismatch.
template <typename T>
T decode(Element value, const Path &path);

template <>
bool decode<bool>(Element value, const Path &path);
template <>
double decode<double>(Element value, const Path &path);
template <>
QString decode<QString>(Element value, const Path &path);
template <>
Array decode<Array>(Element value, const Path &path);
// The text as it stands in the document, valid while the document is.
template <>
std::string_view decode<std::string_view>(Element value, const Path &path);

// Integers: integral numbers within [minimum, maximum], written with or without a fraction.
qint64 decodeInteger(Element value, const Path &path, qint64 minimum, qint64 maximum);

template <>
inline qint64 decode<qint64>(Element value, const Path &path)
{
    return decodeInteger(value, path, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max());
}

// Reads the members of one JSON object. Its path names its parent's, so the reader must
// not outlive the reader or path it came from.
//
// The members are gathered once, each with a small signature of its key, so that a lookup
// compares integers in a short array rather than walking the document again; an object
// with more members than that array holds is walked for every lookup.
class ObjectReader final {
public:
    ObjectReader(Element value, const Path &path);

    const Path &path() const noexcept { return m_path; }

    // A key given twice counts with its last value.
    template <typename T>
    T required(QLatin1String key) const
    {
        const Path path = m_path.member(key);
        return decode<T>(requiredValue(key, path), path);
    }

    template <typename T>
    std::optional<T> optional(QLatin1String key) const
    {
        const auto value = find(key);
        if (!value)
            return std::nullopt;
        return decode<T>(*value, m_path.member(key));
    }

private:
    // The value of `key` unless it is missing or null.
    std::optional<Element> find(QLatin1String key) const
    {
        const auto value = lastValue(key);
        if (value && value->is_null())
            return std::nullopt;
        return value;
    }

    Element requiredValue(QLatin1String key, const Path &path) const
    {
        const auto value = lastValue(key);
        if (!value || value->is_null())
            failMissing(path, value.has_value());
        return *value;
    }

    [[noreturn]] static void failMissing(const Path &path, bool isNull);

    // A key's length, first and last character: enough to tell apart almost every two
    // keys of one object without reaching for their text.
    static std::uint32_t signatureOf(std::string_view key)
    {
        if (key.empty())
            return 0;
        return std::uint32_t(key.size()) << 16 | std::uint32_t(std::uint8_t(key.front())) << 8
            | std::uint32_t(std::uint8_t(key.back()));
    }

    // Null included; absent only when the key is missing.
    std::optional<Element> lastValue(QLatin1String key) const
    {
        const std::string_view wanted(key.data(), std::size_t(key.size()));
        if (m_memberCount > gatheredMembers)
            return walkForLastValue(wanted);
        const std::uint32_t signature = signatureOf(wanted);
        for (std::size_t index = m_memberCount; index-- > 0;) {
            if (m_signatures[index] == signature && gathered(index).key == wanted)
                return gathered(index).value;
        }
        return std::nullopt;
    }

    std::optional<Element> walkForLastValue(std::string_view key) const;

    struct Member {
        std::string_view key;
        Element value;
    };
    static constexpr std::size_t gatheredMembers = 32;
    static_assert(std::is_trivially_copyable_v<Member> && std::is_trivially_destructible_v<Member>);

    const Member &gathered(std::size_t index) const
    {
        return std::launder(reinterpret_cast<const Member *>(m_members))[index];
    }

    simdjson::dom::object m_object;
    Path m_path;
    // Both left uninitialised beyond m_memberCount: a reader is made for every object read.
    alignas(Member) std::byte m_members[gatheredMembers * sizeof(Member)];
    std::uint32_t m_signatures[gatheredMembers];
    // Beyond gatheredMembers when the object has more members than the array holds.
    std::size_t m_memberCount = 0;
};

template <>
inline ObjectReader decode<ObjectReader>(Element value, const Path &path)
{
    return ObjectReader(value, path);
}

// Decodes every element of an array with `element(value, path)`.
template <typename Decode>
auto decodeArray(Array array, const Path &path, Decode &&element)
{
    using Result = decltype(element(Element(), path));
    std::vector<Result> results;
    results.reserve(array.size());
    std::size_t index = 0;
    for (const Element value : array) {
        results.push_back(element(value, path.element(index)));
        ++index;
    }
    return results;
}

} // namespace vantora::strictjson
