#include "StoreRig.h"

#include "controls/LightValueSlider.h"

#include "ui/EnvironmentKeys.h"
#include "ui/ViewRuntime.h"

#include <QTest>

#include <gtest/gtest.h>

namespace vantora::controls {
namespace {

using namespace std::chrono_literals;
using testing::StoreRig;
using Request = testing::ScriptedLightService::Request;

TEST(LightValueSliderStoreTest, ALongDragOnASlowBridgeSendsAFewRequestsEndingWithTheFinalValue)
{
    StoreRig rig;
    HalvetStore &store = rig.buildConnected(HueSnapshot::demo());
    rig.lights->answerTime = 300ms;
    const HueLight light = testing::lightWithID(store.snapshot(), QStringLiteral("1"));

    QWidget window;
    ui::Environment::scope(&window).set(ui::viewRuntimeKey, ui::ViewRuntime{&rig.harness.clock, &rig.harness.executor});
    auto *slider = new LightValueSlider(SliderSize::Full, SliderOrientation::Horizontal, &window);
    slider->setGeometry(0, 0, 206, 38);
    slider->setRange({1, 100});
    QObject::connect(slider, &LightValueSlider::valueEdited, slider,
                     [&](double value) { store.apply({.brightness = value}, light); });
    window.show();

    // Sixty pointer steps, one per frame, across most of the track.
    constexpr int steps = 60;
    QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(20, 19));
    for (int step = 1; step < steps; ++step) {
        QTest::mouseMove(slider, QPoint(20 + step * 2, 19));
        rig.harness.clock.advance(16ms);
    }
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(20 + (steps - 1) * 2, 19));
    const double finalValue = slider->value();
    rig.harness.clock.advance(5s);

    std::vector<Request> updates;
    for (const Request &request : rig.lights->requests) {
        if (request.kind == Request::Kind::updateLight)
            updates.push_back(request);
    }
    ASSERT_FALSE(updates.empty());
    EXPECT_LE(updates.size(), 6u);
    ASSERT_TRUE(updates.back().change && updates.back().change->brightness);
    EXPECT_DOUBLE_EQ(*updates.back().change->brightness, finalValue);
    EXPECT_GT(finalValue, 60);
}

} // namespace
} // namespace vantora::controls
