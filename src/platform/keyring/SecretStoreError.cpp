#include "platform/keyring/SecretStoreError.h"

namespace vantora::platform {

SecretStoreError::SecretStoreError(SecretFailure failure, QString detail)
    : m_failure(failure)
    , m_detail(std::move(detail))
    , m_what(QStringLiteral("keyring status %1: %2").arg(status()).arg(m_detail).toStdString())
{
}

} // namespace vantora::platform
