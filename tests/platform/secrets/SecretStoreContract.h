#pragma once

#include "platform/keyring/SecretStore.h"

#include <gtest/gtest.h>

#include <memory>

namespace vantora::testing {

using SecretStoreFactory = std::unique_ptr<platform::SecretStore> (*)();

// What every SecretStore must do, checked against the memory fake and the real keyring
// alike: INSTANTIATE_TEST_SUITE_P(Backend, SecretStoreContract, ::testing::Values(&make)).
class SecretStoreContract : public ::testing::TestWithParam<SecretStoreFactory> {
protected:
    void SetUp() override { m_store = GetParam()(); }

    // An item of the running case's own, so that cases never see each other's items.
    static platform::SecretItemName itemFor(const char *purpose);

    std::unique_ptr<platform::SecretStore> m_store;
};

} // namespace vantora::testing
