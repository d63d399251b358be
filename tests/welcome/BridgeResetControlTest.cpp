#include "welcome/BridgeResetControl.h"

#include "TaskTesting.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using vantora::BridgeResetConditions;
using vantora::BridgeResetSteps;
using vantora::makeBridgeResetControl;

namespace {

struct BridgeResetTest : ::testing::Test {
    QWidget window;
    QWidget *panel = new QWidget(&window);
    std::vector<std::string> calls;
    bool connectedAfterForgetting = false;
    vantora::testing::TaskHarness harness;
    vantora::runtime::TaskScope &tasks = harness.scope;

    BridgeResetSteps steps()
    {
        return {
            [this]() -> vantora::runtime::Task<void> {
                calls.push_back("forget");
                co_return;
            },
            [this] { return connectedAfterForgetting; },
            [this] { calls.push_back("ready"); },
            [] { return std::optional<QString>(); },
        };
    }

    QMessageBox *openBox()
    {
        makeBridgeResetControl({true, false}, panel, steps(), tasks).action();
        return window.findChild<QMessageBox *>();
    }

    QAbstractButton *button(QMessageBox *box, const QString &title)
    {
        for (QAbstractButton *candidate : box->buttons()) {
            if (candidate->text() == title)
                return candidate;
        }
        return nullptr;
    }

    void SetUp() override { window.show(); }
};

} // namespace

TEST_F(BridgeResetTest, OfferedOnlyWithABridgeToForgetAndNoAttemptRunning)
{
    struct Row {
        std::string name;
        BridgeResetConditions conditions;
        bool enabled;
    };
    const std::vector<Row> rows = {
        {"a saved bridge, onboarding idle", {true, false}, true},
        {"a saved bridge, onboarding running", {true, true}, false},
        {"nothing to forget", {false, false}, false},
        {"nothing to forget, onboarding running", {false, true}, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(makeBridgeResetControl(row.conditions, panel, steps(), tasks).isEnabled, row.enabled);
    }
}

TEST_F(BridgeResetTest, AsksInAWarningBoxModalToThePanelWindow)
{
    QMessageBox *box = openBox();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->windowModality(), Qt::WindowModal);
    EXPECT_EQ(box->parentWidget(), &window);
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->text(), QString::fromUtf8("Reset this computer’s Bridge connection?"));
    ASSERT_EQ(box->buttons().size(), 2);
    EXPECT_TRUE(box->informativeText().startsWith("This forgets the saved connection and returns to setup."));
    EXPECT_NE(button(box, "Reset connection"), nullptr);
    EXPECT_EQ(box->escapeButton(), button(box, "Cancel"));
    EXPECT_TRUE(calls.empty()); // nothing happens before the answer
}

TEST_F(BridgeResetTest, ConfirmingForgetsTheBridgeAndStartsOverOnlyWhenDisconnected)
{
    struct Row {
        std::string name;
        const char *answer;
        bool connectedAfterwards;
        std::vector<std::string> calls;
    };
    const std::vector<Row> rows = {
        {"reset", "Reset connection", false, {"forget", "ready"}},
        {"reset that left a connection", "Reset connection", true, {"forget"}},
        {"cancel", "Cancel", false, {}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        calls.clear();
        connectedAfterForgetting = row.connectedAfterwards;
        QMessageBox *box = openBox();
        ASSERT_NE(box, nullptr);
        QTest::mouseClick(button(box, QString::fromUtf8(row.answer)), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        harness.executor.runUntilIdle();
        EXPECT_EQ(calls, row.calls);
        EXPECT_EQ(window.findChild<QMessageBox *>(), nullptr);
    }
}

TEST_F(BridgeResetTest, ReturnAndEscapeAnswerCancel)
{
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        SCOPED_TRACE(QKeySequence(key).toString().toStdString());
        QMessageBox *box = openBox();
        ASSERT_NE(box, nullptr);
        QTest::keyClick(box, key);
        EXPECT_TRUE(calls.empty());
        EXPECT_FALSE(box->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(BridgeResetTest, APanelThatIsGoneAsksNothing)
{
    auto control = makeBridgeResetControl({true, false}, panel, steps(), tasks);
    delete panel;
    control.action();
    EXPECT_EQ(window.findChild<QMessageBox *>(), nullptr);
}
