#include "ui/UiHarness.h"

#include "ui/Invalidator.h"
#include "ui/KeyedViewTask.h"
#include "ui/ViewTask.h"

#include "runtime/Errors.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::chrono_literals;
using vantora::runtime::CancellationError;
using vantora::runtime::Clock;
using vantora::runtime::Task;
using vantora::testing::UiHarness;
using vantora::ui::Invalidator;
using vantora::ui::KeyedViewTask;
using vantora::ui::ViewTask;

namespace {

// Ticks once a second until cancelled, logging each tick and how it ended.
Task<void> ticking(Clock &clock, std::vector<std::string> &log, std::string name)
{
    try {
        for (;;) {
            co_await clock.sleepFor(1s);
            log.push_back(name + " tick");
        }
    } catch (const CancellationError &) {
        log.push_back(name + " cancelled");
        throw;
    }
}

} // namespace

TEST(ViewTask, RunsWhileItsViewIsShown)
{
    UiHarness ui;
    std::vector<std::string> log;
    auto *view = new QWidget(&ui.window);
    auto *task = new ViewTask(view, [&] { return ticking(ui.tasks.clock, log, "view"); });
    EXPECT_FALSE(task->isRunning());

    ui.window.show();
    ui.advance(2500ms);
    EXPECT_EQ(log, (std::vector<std::string>{"view tick", "view tick"}));

    view->hide();
    ui.runUntilIdle();
    ui.advance(5s);
    EXPECT_EQ(log.back(), "view cancelled");
    EXPECT_EQ(log.size(), 3u);
    EXPECT_FALSE(task->isRunning());

    view->show();
    ui.advance(1s);
    EXPECT_EQ(log.back(), "view tick");
    EXPECT_TRUE(task->isRunning());
}

TEST(ViewTask, ANewKeyRestartsTheBodyAndAnEqualOneDoesNot)
{
    UiHarness ui;
    std::vector<std::string> log;
    ui.window.show();
    KeyedViewTask<std::string> task(&ui.window, "a", [&](std::string key) { return ticking(ui.tasks.clock, log, key); });
    ui.advance(1s);

    task.setKey("a");
    ui.advance(500ms);
    task.setKey("b");
    ui.advance(1s);

    EXPECT_EQ(log, (std::vector<std::string>{"a tick", "a cancelled", "b tick"}));
}

TEST(ViewTask, DestroyingTheViewEndsTheTaskWithoutRunningIt)
{
    UiHarness ui;
    std::vector<std::string> log;
    auto *view = new QWidget(&ui.window);
    new ViewTask(view, [&] { return ticking(ui.tasks.clock, log, "view"); });
    ui.window.show();
    ui.runUntilIdle();

    delete view;
    ui.advance(3s);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(ui.tasks.clock.sleeperCount(), 0u);
}

TEST(Invalidator, FoldsABurstIntoOneEvaluationOnALaterTurn)
{
    vantora::runtime::ManualExecutor executor;
    int evaluations = 0;
    {
        Invalidator invalidator(executor, [&] { ++evaluations; });
        invalidator.invalidate();
        invalidator.invalidate();
        EXPECT_EQ(evaluations, 0);
        executor.runUntilIdle();
        EXPECT_EQ(evaluations, 1);
        EXPECT_FALSE(invalidator.isPending());

        invalidator.invalidate();
        EXPECT_TRUE(invalidator.isPending());
    }
    executor.runUntilIdle(); // the pending evaluation died with its invalidator
    EXPECT_EQ(evaluations, 1);
}
