#include "welcome/ConnectionPillState.h"

namespace vantora {

ConnectionPillState::ConnectionPillState(Case kind, QString first, QString second)
    : m_case(kind)
    , m_first(std::move(first))
    , m_second(std::move(second))
{
}

ConnectionPillState ConnectionPillState::found(QString name, QString address)
{
    return ConnectionPillState(Case::Found, std::move(name), std::move(address));
}

ConnectionPillState ConnectionPillState::retry(QString message)
{
    return ConnectionPillState(Case::Retry, std::move(message));
}

size_t qHash(const ConnectionPillState &state, size_t seed) noexcept
{
    const int position = static_cast<int>(state.kind());
    switch (state.kind()) {
    case ConnectionPillState::Case::Found:
        return qHashMulti(seed, position, state.name(), state.address());
    case ConnectionPillState::Case::Retry:
        return qHashMulti(seed, position, state.message());
    case ConnectionPillState::Case::Ready:
    case ConnectionPillState::Case::Searching:
    case ConnectionPillState::Case::Choose:
        break;
    }
    return qHashMulti(seed, position);
}

} // namespace vantora
