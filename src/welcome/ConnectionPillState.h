#pragma once

#include <QHashFunctions>
#include <QString>

namespace vantora {

// What the connection pill shows: a button to start pairing, a search in progress, a found
// bridge waiting for its link button, a failure with "Try again", or a button to choose
// among several bridges. Two states are equal when they are the same case with equal
// payload strings; the pill treats an equal state as no change at all.
class ConnectionPillState final {
public:
    // In declaration order; the order is each case's position in the hash.
    enum class Case {
        Ready,
        Searching,
        Found,
        Retry,
        Choose,
    };

    static ConnectionPillState ready() { return ConnectionPillState(Case::Ready); }
    static ConnectionPillState searching() { return ConnectionPillState(Case::Searching); }
    // Name and address are shown as they stand; both may be empty.
    static ConnectionPillState found(QString name, QString address);
    static ConnectionPillState retry(QString message);
    static ConnectionPillState choose() { return ConnectionPillState(Case::Choose); }

    Case kind() const noexcept { return m_case; }
    // Empty unless the case carries them.
    const QString &name() const noexcept { return m_first; }
    const QString &address() const noexcept { return m_second; }
    const QString &message() const noexcept { return m_first; }

    friend bool operator==(const ConnectionPillState &, const ConnectionPillState &) = default;

private:
    explicit ConnectionPillState(Case kind, QString first = {}, QString second = {});

    Case m_case;
    // The found name or the retry message.
    QString m_first;
    // The found address.
    QString m_second;
};

// The case's position, then its payload strings in order.
size_t qHash(const ConnectionPillState &state, size_t seed = 0) noexcept;

} // namespace vantora
