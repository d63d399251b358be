#include "ui/ApplicationQuit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// Like the tray's panel: it declines to close (the tray item hides it instead).
class HidingWindow final : public QWidget {
protected:
    void closeEvent(QCloseEvent *event) override { event->ignore(); }
};

TEST(ApplicationQuit, EndsTheApplicationEvenWhenAWindowDeclinesToClose)
{
    HidingWindow panel;
    panel.show();
    bool aboutToQuit = false;
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, [&] { aboutToQuit = true; });
    QTimer::singleShot(0, [] { vantora::ui::quitApplication(); });
    // Guards the test from hanging should the quit be refused.
    QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(aboutToQuit) << "the shutdown work tied to the end of the loop runs";
}

} // namespace
