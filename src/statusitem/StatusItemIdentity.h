#pragma once

#include <QString>

#include <variant>

namespace vantora::statusitem {

// How a tray item or its panel window is picked: by position among the application's tray
// items (from 0), or by the identifier text of its extra.
struct StatusItemIdentity final {
    struct Index {
        int value = 0;
        friend bool operator==(const Index &, const Index &) = default;
    };
    struct Id {
        QString value;
        friend bool operator==(const Id &, const Id &) = default;
    };
    std::variant<Index, Id> kind;

    static StatusItemIdentity index(int value) { return {Index{value}}; }
    static StatusItemIdentity id(QString value) { return {Id{std::move(value)}}; }

    // "index 3", or ID "name" with the quotation marks.
    QString description() const;

    friend bool operator==(const StatusItemIdentity &, const StatusItemIdentity &) = default;
};

// The case number first, then the payload.
size_t qHash(const StatusItemIdentity &identity, size_t seed = 0) noexcept;

} // namespace vantora::statusitem
