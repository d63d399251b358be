#pragma once

#include <QByteArray>
#include <QVariantMap>

namespace vantora::runtime {

// What a defaults file held: every value that reads, and how much of the file did not.
struct DecodedDefaults {
    QVariantMap values;
    // The text is not a defaults file at all (not JSON, another format); `values` is empty.
    bool unreadable = false;
    // Values whose payload does not match their type tag; each is left out of `values`.
    int droppedValues = 0;

    bool isDamaged() const noexcept { return unreadable || droppedValues > 0; }
};

// The text of a defaults file. Values must be supported by UserDefaults and normalised
// (qint64 integers, QVariantList arrays, QVariantMap dictionaries).
QByteArray encodeDefaults(const QVariantMap &values);

// Reads untrusted text; never throws. A value that is not what we write is dropped alone,
// whatever sits inside it, so one bad entry costs no other setting.
DecodedDefaults decodeDefaults(const QByteArray &text);

} // namespace vantora::runtime
