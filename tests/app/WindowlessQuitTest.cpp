#include "app/WindowlessQuit.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

using namespace vantora;

namespace {

// Two windows of the application, shown; `act` hides or shows them as a person's closing
// would, then the turn after it passes.
struct Case {
    const char *name;
    bool trayHost;
    std::function<void(QWidget &first, QWidget &second)> act;
    int quits;
};

TEST(WindowlessQuit, QuitsOnlyWhenTheLastWindowClosesWithoutATray)
{
    const Case cases[] = {
        {"both closed, no tray", false,
         [](QWidget &first, QWidget &second) {
             first.close();
             second.close();
         },
         1},
        {"one of two closed", false, [](QWidget &first, QWidget &) { first.close(); }, 0},
        {"both closed beside a tray", true,
         [](QWidget &first, QWidget &second) {
             first.close();
             second.close();
         },
         0},
        {"the last closed as another opens in its stead", false,
         [](QWidget &first, QWidget &second) {
             first.close();
             second.close();
             first.show();
         },
         0},
        {"closed one turn after the other", false,
         [](QWidget &first, QWidget &second) {
             first.close();
             QCoreApplication::processEvents();
             second.close();
         },
         1},
    };
    for (const Case &row : cases) {
        SCOPED_TRACE(row.name);
        int quits = 0;
        WindowlessQuit watch([&] { return row.trayHost; }, [&] { ++quits; });
        auto first = std::make_unique<QWidget>();
        auto second = std::make_unique<QWidget>();
        first->show();
        second->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(first.get()));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(second.get()));
        row.act(*first, *second);
        for (int turn = 0; turn < 3; ++turn)
            QCoreApplication::processEvents();
        EXPECT_EQ(quits, row.quits);
        // Then every window closed, again and again: the application ends once, and beside a
        // tray never.
        for (int round = 0; round < 2; ++round) {
            first->show();
            first->close();
            second->close();
            QCoreApplication::processEvents();
        }
        EXPECT_EQ(quits, row.trayHost ? 0 : 1);
    }
}

} // namespace
