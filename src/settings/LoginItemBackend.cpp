#include "settings/LoginItemBackend.h"

namespace vantora {

LoginItemError::LoginItemError(QString description)
    : m_description(std::move(description))
    , m_what(m_description.toStdString())
{
}

} // namespace vantora
