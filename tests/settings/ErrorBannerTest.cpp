#include "StoreRig.h"

#include "settings/AppErrorBanner.h"
#include "settings/AppErrorOverlay.h"
#include "settings/AppIssueNotice.h"

#include "welcome/SheetOverlay.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace vantora;
using vantora::testing::StoreRig;

namespace {

AppIssue issue(const char *code)
{
    return AppIssue(AppIssue::Operation::refresh, QString::fromLatin1(code), runtime::WallTime{});
}

// A page laid out in a column under an error overlay, in a shown window, over a live store.
struct ErrorOverlayTest : ::testing::Test {
    StoreRig rig;
    HalvetStore &store = rig.build();
    QWidget window;
    QWidget *page = new QWidget(&window);
    QLabel *content = new QLabel(QStringLiteral("Page"), page);

    void SetUp() override
    {
        auto *column = new QVBoxLayout(page);
        column->setContentsMargins(0, 0, 0, 0);
        column->addWidget(content);
        window.resize(440, 434);
        page->resize(440, 434);
        window.show();
    }

    AppErrorOverlay *overlay() const { return page->findChild<AppErrorOverlay *>(); }
    AppIssueNotice *notice() const { return overlay()->notice(); }
    SheetOverlay *sheet() const { return window.findChild<SheetOverlay *>(); }

    void settle()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        page->layout()->activate();
    }
};

} // namespace

TEST_F(ErrorOverlayTest, WithoutAnIssueThePageKeepsItsPlace)
{
    const QPoint before = content->pos();
    installErrorOverlay(page, store);
    settle();
    EXPECT_FALSE(overlay()->isVisible());
    EXPECT_EQ(content->pos(), before);

    store.setUnexpectedIssue(issue("unexpected-error"));
    settle();
    EXPECT_TRUE(overlay()->isVisible());
    EXPECT_GE(content->y(), before.y() + 40);

    store.setUnexpectedIssue(std::nullopt);
    settle();
    EXPECT_EQ(content->pos(), before);
}

TEST_F(ErrorOverlayTest, ClosingTheBannerClearsTheWholeFailure)
{
    installErrorOverlay(page, store);
    store.setErrorMessage(QStringLiteral("The bridge did not answer."));
    store.setUnexpectedIssue(issue("unexpected-error"));
    ASSERT_NE(notice(), nullptr);
    QAbstractButton *close = notice()->banner()->closeButton();
    EXPECT_EQ(close->accessibleName(), "Dismiss error");

    QTest::mouseClick(close, Qt::LeftButton);
    settle();

    EXPECT_EQ(store.unexpectedIssue(), std::nullopt);
    EXPECT_EQ(store.errorMessage(), std::nullopt);
    EXPECT_EQ(overlay()->notice(), nullptr);
    EXPECT_FALSE(overlay()->isVisible());
}

TEST_F(ErrorOverlayTest, DetailsOpenTheReportAndDoneClosesItWithTheIssue)
{
    installErrorOverlay(page, store);
    store.setUnexpectedIssue(issue("unexpected-error"));
    QTest::mouseClick(notice()->banner()->detailsButton(), Qt::LeftButton);
    ASSERT_NE(sheet(), nullptr);
    EXPECT_TRUE(sheet()->isVisible());
    EXPECT_EQ(sheet()->geometry(), window.rect());
    EXPECT_TRUE(store.unexpectedIssue().has_value());

    QPushButton *done = nullptr;
    for (QPushButton *button : sheet()->findChildren<QPushButton *>())
        done = button->text() == "Done" ? button : done;
    ASSERT_NE(done, nullptr);
    QTest::mouseClick(done, Qt::LeftButton);
    settle();

    EXPECT_EQ(sheet(), nullptr);
    EXPECT_EQ(store.unexpectedIssue(), std::nullopt);
    EXPECT_FALSE(overlay()->isVisible());
}

TEST_F(ErrorOverlayTest, AnIssueClearedElsewhereClosesItsReportAndANewIssueStartsClosed)
{
    installErrorOverlay(page, store);
    store.setUnexpectedIssue(issue("unexpected-error"));
    notice()->showReport();
    ASSERT_NE(sheet(), nullptr);

    store.setUnexpectedIssue(issue("response-decoding-failed"));
    settle();
    EXPECT_EQ(sheet(), nullptr);
    ASSERT_NE(notice(), nullptr);
    EXPECT_EQ(notice()->issue().code, "response-decoding-failed");

    notice()->showReport();
    store.clearFailure();
    settle();
    EXPECT_EQ(sheet(), nullptr);
    EXPECT_EQ(overlay()->notice(), nullptr);
}

TEST_F(ErrorOverlayTest, APageWithoutAColumnGetsTheBannerAlongItsTopEdge)
{
    QWidget stage(&window);
    stage.setFixedSize(440, 434);
    stage.show();
    installErrorOverlay(&stage, store);
    store.setUnexpectedIssue(issue("unexpected-error"));
    settle();
    auto *floating = stage.findChild<AppErrorOverlay *>();
    ASSERT_NE(floating, nullptr);
    EXPECT_EQ(floating->geometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(floating->width(), 440);
    EXPECT_GE(floating->height(), 56);

    stage.setFixedSize(500, 434);
    EXPECT_EQ(floating->width(), 500);
}

TEST_F(ErrorOverlayTest, AnIssueClearedWhileTheSaveDialogIsOpenTakesTheDialogWithIt)
{
    installErrorOverlay(page, store);
    store.setUnexpectedIssue(issue("unexpected-error"));
    notice()->showReport();
    ASSERT_NE(sheet(), nullptr);
    QPushButton *save = nullptr;
    for (QPushButton *button : sheet()->findChildren<QPushButton *>())
        save = button->text() == "Save…" ? button : save;
    ASSERT_NE(save, nullptr);

    // A refresh that succeeds while the user is still choosing where to save.
    bool dialogWasOpen = false;
    QTimer::singleShot(0, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        dialogWasOpen = dialog != nullptr;
        store.clearFailure();
        // Should the dialog outlive its sheet, it is closed, so that the test ends.
        if (dialog)
            QTimer::singleShot(0, dialog, [dialog] { dialog->close(); });
    });
    save->click();
    settle();

    EXPECT_TRUE(dialogWasOpen);
    EXPECT_EQ(sheet(), nullptr);
    EXPECT_EQ(overlay()->notice(), nullptr);
}
