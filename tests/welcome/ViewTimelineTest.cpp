#include "ActiveWindow.h"
#include "TaskTesting.h"

#include "welcome/ArrivalSpinner.h"
#include "welcome/BridgeButtonPulse.h"
#include "welcome/SearchingSpinner.h"
#include "welcome/ViewTimeline.h"

#include "ui/EnvironmentKeys.h"
#include "ui/FrameClock.h"
#include "ui/ViewRuntime.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace vantora {
namespace {

using namespace std::chrono_literals;
using vantora::testing::activate;

// A view that moves as long as it is shown, and notes whether its condition is asked once its
// own class is gone (outside the object, so that noting it is no fault of its own).
class ProbeView final : public QWidget {
    Q_OBJECT
public:
    ProbeView(bool &gone, bool &askedWhenGone)
        : m_gone(gone)
    {
        new ViewTimeline(this, ViewTimeline::Origin::FirstShow, ViewTimeline::WindowActivity::Ignored,
                         [&gone, &askedWhenGone] {
                             askedWhenGone = askedWhenGone || gone;
                             return true;
                         });
    }
    ~ProbeView() override { m_gone = true; }

private:
    bool &m_gone;
};

// A view may be a whole window, as in the galleries and previews. QWidget's destructor hides
// the window and takes the activation from it after the view's own class is gone: the view's
// condition must not be asked then (the sanitizers report the spinners and the pulse).
TEST(ViewTimeline, AWindowDestroyedOnScreenWhileItMovesIsAskedNothingOnItsWayOut)
{
    struct Case {
        const char *view;
        std::function<QWidget *()> make;
    };
    bool gone = false;
    bool askedWhenGone = false;
    const ui::DynamicColor black = ui::DynamicColor::fixed(Qt::black);
    const Case cases[] = {
        {"the bridge button's pulse",
         [] {
             auto *pulse = new BridgeButtonPulse;
             pulse->setPulse(pulseCurve::PulseSwitch::On);
             return pulse;
         }},
        {"the searching spinner", [&] { return new SearchingSpinner(black); }},
        {"the arrival spinner", [&] { return new ArrivalSpinner(black, Spinning::Running); }},
        {"a view of its own", [&] { return new ProbeView(gone, askedWhenGone); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.view);
        testing::TaskHarness tasks;
        QWidget *view = c.make();
        ui::Environment::scope(view).set(ui::viewRuntimeKey, ui::ViewRuntime{&tasks.clock, &tasks.executor});
        view->show();
        activate(*view);
        ASSERT_TRUE(QTest::qWaitForWindowActive(view));
        tasks.clock.advance(100ms);
        ASSERT_TRUE(ui::FrameClock::of(view).isRunning());

        delete view;
        tasks.clock.advance(100ms);
        tasks.executor.runUntilIdle();
    }
    EXPECT_TRUE(gone);
    EXPECT_FALSE(askedWhenGone);
}

} // namespace
} // namespace vantora

#include "ViewTimelineTest.moc"
