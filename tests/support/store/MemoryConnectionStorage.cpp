#include "MemoryConnectionStorage.h"

namespace vantora::testing {

void MemoryConnectionStorage::enter(Operation operation)
{
    ++m_calls[index(operation)];
    if (const std::exception_ptr failure = m_failures[index(operation)])
        std::rethrow_exception(failure);
}

std::optional<BridgeConnection> MemoryConnectionStorage::load()
{
    enter(Operation::load);
    return m_saved;
}

void MemoryConnectionStorage::save(const BridgeConnection &connection)
{
    enter(Operation::save);
    m_saved = connection;
}

void MemoryConnectionStorage::remove()
{
    enter(Operation::remove);
    m_saved.reset();
}

} // namespace vantora::testing
