#include "onboarding/PreviewConnectionStorage.h"

namespace vantora {

PreviewConnectionStorage::PreviewConnectionStorage(std::optional<BridgeConnection> initial)
    : m_value(std::move(initial))
{
}

std::optional<BridgeConnection> PreviewConnectionStorage::load()
{
    const std::lock_guard lock(m_mutex);
    return m_value;
}

void PreviewConnectionStorage::save(const BridgeConnection &connection)
{
    const std::lock_guard lock(m_mutex);
    m_value = connection;
}

void PreviewConnectionStorage::remove()
{
    const std::lock_guard lock(m_mutex);
    m_value.reset();
}

} // namespace vantora
