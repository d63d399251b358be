#pragma once

#include "platform/keyring/SecretStoreError.h"

#include <cstdint>

namespace vantora::platform {

// The failure class of an error reported by the keyring's client library, given its error
// domain (a GLib quark) and code. Unknown domains and codes are `SecretFailure::other`.
SecretFailure classifyKeyringError(std::uint32_t domain, int code);

} // namespace vantora::platform
