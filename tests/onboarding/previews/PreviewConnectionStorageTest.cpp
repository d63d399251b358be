#include "onboarding/PreviewConnectionStorage.h"
#include "onboarding/SlowPreviewService.h"

#include <gtest/gtest.h>

using vantora::BridgeConnection;
using vantora::PreviewConnectionStorage;
using vantora::SlowPreviewService;

TEST(PreviewConnectionStorage, KeepsTheLastSavedConnectionUntilItIsRemoved)
{
    PreviewConnectionStorage storage(SlowPreviewService::sampleConnection());
    EXPECT_EQ(storage.load(), SlowPreviewService::sampleConnection());

    BridgeConnection repaired = SlowPreviewService::sampleConnection();
    repaired.applicationKey = QStringLiteral("restored-sample-demo-key");
    storage.save(repaired);
    EXPECT_EQ(storage.load(), repaired);

    storage.remove();
    EXPECT_EQ(storage.load(), std::nullopt);
    storage.remove();
    EXPECT_EQ(storage.load(), std::nullopt);
}
