#include "ActiveWindow.h"
#include "StoreRig.h"

#include "bridge/HueError.h"
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
    AppErrorOverlay *overlay = nullptr;

    void SetUp() override
    {
        auto *column = new QVBoxLayout(page);
        column->setContentsMargins(0, 0, 0, 0);
        column->addWidget(content);
        auto *windowColumn = new QVBoxLayout(&window);
        windowColumn->setContentsMargins(0, 0, 0, 0);
        windowColumn->addWidget(page);
        window.resize(440, 434);
        window.show();
    }

    void install()
    {
        overlay = new AppErrorOverlay(store, page, &window);
        window.layout()->addWidget(overlay);
        overlay->show();
        settle();
    }

    AppIssueNotice *notice() const { return overlay->notice(); }
    SheetOverlay *sheet() const { return window.findChild<SheetOverlay *>(); }
    QPoint contentPos() const { return content->mapTo(&window, QPoint(0, 0)); }

    void settle()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        window.layout()->activate();
        if (overlay)
            overlay->layout()->activate();
    }
};

} // namespace

TEST_F(ErrorOverlayTest, WithoutAnIssueThePageKeepsItsPlace)
{
    const QPoint before = contentPos();
    install();
    EXPECT_EQ(notice(), nullptr);
    EXPECT_EQ(contentPos(), before);

    store.setUnexpectedIssue(issue("unexpected-error"));
    settle();
    ASSERT_NE(notice(), nullptr);
    EXPECT_TRUE(notice()->isVisible());
    EXPECT_GE(contentPos().y(), before.y() + 40);

    store.setUnexpectedIssue(std::nullopt);
    settle();
    EXPECT_EQ(contentPos(), before);
}

TEST_F(ErrorOverlayTest, ClosingTheBannerClearsTheWholeFailure)
{
    install();
    store.setErrorMessage(QStringLiteral("The bridge did not answer."));
    store.setUnexpectedIssue(issue("unexpected-error"));
    ASSERT_NE(notice(), nullptr);
    QAbstractButton *close = notice()->banner()->closeButton();
    EXPECT_EQ(close->accessibleName(), "Dismiss error");

    QTest::mouseClick(close, Qt::LeftButton);
    settle();

    EXPECT_EQ(store.unexpectedIssue(), std::nullopt);
    EXPECT_EQ(store.errorMessage(), std::nullopt);
    EXPECT_EQ(overlay->notice(), nullptr);
}

TEST_F(ErrorOverlayTest, DetailsOpenTheReportAndDoneClosesItWithTheIssue)
{
    install();
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
}

// An issue that tells what the person can do (start a keyring) stays until that is done:
// neither a close button nor the report's "Done" takes it away; any other issue goes with both.
TEST_F(ErrorOverlayTest, OnlyAnIssueWithoutSomethingToDoCanBeDismissed)
{
    const QString explanation = HueError::keychain(-1001).errorDescription();
    const struct {
        const char *name;
        std::optional<QString> explanation;
    } rows[] = {{"something went wrong", std::nullopt}, {"no keyring answers", explanation}};
    install();
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const AppIssue shown(AppIssue::Operation::launch, QStringLiteral("keychain--1001"), runtime::WallTime{},
                             row.explanation);
        store.setUnexpectedIssue(shown);
        settle();
        ASSERT_NE(notice(), nullptr);
        EXPECT_EQ(notice()->banner()->closeButton() != nullptr, !row.explanation);

        notice()->showReport();
        ASSERT_NE(sheet(), nullptr);
        QPushButton *done = nullptr;
        for (QPushButton *button : sheet()->findChildren<QPushButton *>())
            done = button->text() == "Done" ? button : done;
        ASSERT_NE(done, nullptr);
        QTest::mouseClick(done, Qt::LeftButton);
        settle();

        EXPECT_EQ(sheet(), nullptr) << "Done puts the report away";
        EXPECT_EQ(store.unexpectedIssue(), row.explanation ? std::optional(shown) : std::nullopt);
        store.clearFailure();
        settle();
    }
}

TEST_F(ErrorOverlayTest, EscapePutsTheReportAwayWithTheFocusBackOnDetailsAndTheIssueKept)
{
    install();
    store.setUnexpectedIssue(issue("unexpected-error"));
    settle();
    QWidget *details = notice()->banner()->detailsButton();
    vantora::testing::activate(window);
    details->setFocus(Qt::TabFocusReason);
    QTest::keyClick(details, Qt::Key_Space);
    ASSERT_NE(sheet(), nullptr);
    ASSERT_TRUE(sheet()->isAncestorOf(QApplication::focusWidget()));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    settle();

    EXPECT_EQ(sheet(), nullptr);
    EXPECT_EQ(QApplication::focusWidget(), details);
    EXPECT_TRUE(store.unexpectedIssue().has_value());
}

TEST_F(ErrorOverlayTest, AnIssueClearedElsewhereClosesItsReportAndANewIssueStartsClosed)
{
    install();
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
    EXPECT_EQ(overlay->notice(), nullptr);
}

TEST_F(ErrorOverlayTest, APageWithoutAColumnIsPushedDownByTheBanner)
{
    // The general line, and what the person can do about a keyring that is missing: a text of
    // several lines, all of it shown within the stage's width.
    const QString explanation = HueError::keychain(-1001).errorDescription();
    for (const std::optional<QString> &told : {std::optional<QString>(), std::optional(explanation)}) {
        SCOPED_TRACE(told ? "an explanation" : "the general line");
        // A stage whose children sit at fixed places, as the welcome stage's do.
        auto *stage = new QWidget;
        stage->setFixedSize(440, 434);
        auto *fixed = new QLabel(QStringLiteral("Logo"), stage);
        fixed->move(0, 0);
        auto *wrapped = new AppErrorOverlay(store, stage);
        wrapped->show();
        store.setUnexpectedIssue(AppIssue(AppIssue::Operation::launch, QStringLiteral("keychain--1001"),
                                          runtime::WallTime{}, told));
        wrapped->layout()->activate();
        ASSERT_NE(wrapped->notice(), nullptr);

        const QRect banner = wrapped->notice()->banner()->geometry().translated(wrapped->notice()->pos());
        EXPECT_FALSE(banner.intersects(stage->geometry())) << "the banner is drawn over the stage";
        EXPECT_GE(stage->y(), 56);
        EXPECT_EQ(wrapped->notice()->width(), 440);
        EXPECT_EQ(wrapped->sizeHint().height(), stage->y() + 434);
        const QLabel *title = wrapped->notice()->banner()->findChild<QLabel *>();
        ASSERT_NE(title, nullptr);
        EXPECT_EQ(title->text(), told.value_or(QStringLiteral("Something went wrong.")));
        EXPECT_GE(title->height(), title->heightForWidth(title->width())) << "the text is cut off";
        EXPECT_TRUE(wrapped->notice()->banner()->detailsButton()->isVisible()) << "the report is out of reach";
        store.setUnexpectedIssue(std::nullopt);
        delete wrapped;
    }
}

TEST_F(ErrorOverlayTest, AnIssueClearedWhileTheSaveDialogIsOpenTakesTheDialogWithIt)
{
    install();
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
    EXPECT_EQ(overlay->notice(), nullptr);
}
