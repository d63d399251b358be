#include "app/HalvetApp.h"
#include "app/LaunchFlags.h"

#include "controls/LightToggleArtwork.h"

#include "runtime/UserDefaults.h"

#include <QApplication>

#include <gtest/gtest.h>

using namespace vantora;

namespace {

TEST(HalvetApp, EveryLightToggleDrawsTheColourTheUserChose)
{
    runtime::MemoryUserDefaults defaults({{QStringLiteral("toggleColor"), QStringLiteral("purple")}});
    HalvetApp app(LaunchFlags::parse({QStringLiteral("vantora"), QStringLiteral("--demo")}), defaults);
    QCoreApplication::processEvents();

    int toggles = 0;
    for (const QWidget *widget : QApplication::allWidgets()) {
        if (const auto *artwork = qobject_cast<const LightToggleArtwork *>(widget); artwork && !artwork->fields().color) {
            ++toggles;
            EXPECT_EQ(artwork->resolvedColor(), ToggleColor::purple);
        }
    }
    EXPECT_GT(toggles, 0) << "the demo home has lights with toggles";
}

} // namespace
