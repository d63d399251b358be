#pragma once

#include "platform/keyring/SecretStoreError.h"

#include <optional>

namespace vantora::testing {

// The failure a call threw, or nothing when it returned normally.
template <typename Call>
std::optional<platform::SecretFailure> secretFailureOf(Call &&call)
{
    try {
        call();
    } catch (const platform::SecretStoreError &error) {
        return error.failure();
    }
    return std::nullopt;
}

} // namespace vantora::testing
