#pragma once

#include "bridge/ConnectionStorage.h"

#include <array>
#include <exception>
#include <optional>

namespace vantora::testing {

// The saved connection in memory. Counts every call per operation (failed ones included)
// and fails an operation on request, leaving the saved connection untouched when it does.
class MemoryConnectionStorage final : public ConnectionStorage {
public:
    enum class Operation { load, save, remove };

    std::optional<BridgeConnection> load() override;
    void save(const BridgeConnection &connection) override;
    void remove() override;

    // Every later call of `operation` throws `error`, until cleared.
    template <typename Error>
    void failWith(Operation operation, Error error)
    {
        m_failures[index(operation)] = std::make_exception_ptr(std::move(error));
    }
    void clearFailure(Operation operation) { m_failures[index(operation)] = nullptr; }

    const std::optional<BridgeConnection> &saved() const { return m_saved; }
    int callCount(Operation operation) const { return m_calls[index(operation)]; }

private:
    static std::size_t index(Operation operation) { return static_cast<std::size_t>(operation); }
    void enter(Operation operation);

    std::optional<BridgeConnection> m_saved;
    std::array<int, 3> m_calls{};
    std::array<std::exception_ptr, 3> m_failures{};
};

} // namespace vantora::testing
