#include "settings/Alert.h"
#include "ui/ModalParent.h"
#include "AlertPresenters.h"

#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QScreen>

#include <gtest/gtest.h>

#include <string>

using namespace vantora;

// With two screens, an alert that no shown window asked for stands in the middle of the
// screen the application names (that of its tray icon), not on whichever screen the toolkit
// picks (the pointer's).
TEST(LoneAlerts, StandInTheMiddleOfTheScreenTheApplicationNames)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    ASSERT_EQ(screens.size(), 2) << "the two-screen configuration is not in use";
    QCursor::setPos(screens[0]->geometry().center());
    for (const vantora::testing::AlertPresenter &presenter : vantora::testing::alertPresenters) {
        for (QScreen *named : screens) {
            SCOPED_TRACE(std::string(presenter.name) + " on " + named->name().toStdString());
            const ui::ScreenSource before = ui::setLoneDialogScreen([named] { return named; });
            QWidget hiddenPanel;

            presenter.present(&hiddenPanel);
            QMessageBox *box = nullptr;
            for (QWidget *widget : QApplication::topLevelWidgets())
                box = box ? box : qobject_cast<QMessageBox *>(widget);
            ASSERT_NE(box, nullptr);
            ASSERT_TRUE(box->isVisible());
            // Placed before the window has its frame, so off by the frame's width at most.
            const QPoint offCentre = box->frameGeometry().center() - named->availableGeometry().center();
            EXPECT_LE(offCentre.manhattanLength(), 8) << offCentre.x() << "," << offCentre.y();
            delete box;
            ui::setLoneDialogScreen(before);
        }
    }
}
