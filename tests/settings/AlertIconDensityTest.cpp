// An alert on a 1.5x screen (this test's scale factor): its information icon is a picture of
// the screen's own pixels, not a smaller one that the screen enlarges and blurs.
#include "settings/Alert.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QStyle>

#include <gtest/gtest.h>

#include <memory>

using namespace vantora;

TEST(AlertIconDensity, TheInformationIconIsDrawnForTheScreensPixels)
{
    ASSERT_EQ(qApp->devicePixelRatio(), 1.5) << "run at QT_SCALE_FACTOR=1.5";
    QWidget window;
    window.resize(400, 300);
    window.show();
    showAlert(MessageBoxAlerts::shared(), &window, "Couldn’t check for updates", "Try later.");
    std::unique_ptr<QMessageBox> box(window.findChild<QMessageBox *>());
    ASSERT_TRUE(box);
    const auto *icon = box->findChild<QLabel *>(QStringLiteral("qt_msgboxex_icon_label"));
    ASSERT_TRUE(icon);
    const QPixmap pixmap = icon->pixmap();
    const int side = box->style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, box.get());
    EXPECT_EQ(pixmap.devicePixelRatio(), 1.5);
    EXPECT_EQ(pixmap.size(), QSize(side, side) * 1.5);
}
