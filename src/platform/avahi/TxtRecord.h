#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QMap>

#include <optional>

namespace vantora::platform {

// A service's TXT record as a map from key to raw value bytes, under DNS-SD's rules: keys
// compare without regard to ASCII case; a key that repeats keeps its first value; a string
// with an empty key ("=value", or the lone empty string of an empty record) is dropped.
// Values are untrusted bytes, handed over uninterpreted.
class TxtRecord final {
public:
    TxtRecord() = default;

    // From the record's strings in the order they were received: "key=value" (the value
    // may hold further '=' and any bytes), "key=" (an empty value) or "key" (no value).
    static TxtRecord fromEntries(const QList<QByteArray> &entries);

    // The value of `key` in any case: empty for "key" and "key="; none when absent.
    std::optional<QByteArray> value(QByteArrayView key) const;
    bool isEmpty() const noexcept { return m_values.isEmpty(); }

    bool operator==(const TxtRecord &) const = default;

private:
    // Keys in ASCII lower case.
    QMap<QByteArray, QByteArray> m_values;
};

} // namespace vantora::platform
