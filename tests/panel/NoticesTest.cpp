#include "ActiveWindow.h"
#include "panel/LightsNotice.h"
#include "panel/NoLightsFoundView.h"
#include "panel/StatusMessage.h"

#include "ui/Accessibility.h"
#include "ui/EnvironmentKeys.h"
#include "ui/LightsActionButton.h"
#include "ui/SystemColours.h"
#include "ui/TextLabel.h"
#include "ui/WrappingText.h"

#include <QAccessible>
#include <QApplication>
#include <QBoxLayout>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>

using namespace vantora;
using vantora::testing::activate;

namespace {

const QString longMessage = QStringLiteral(
    "The Bridge didn’t answer in time. Check that it is switched on, that its network light is lit and that this "
    "computer is on the same network, then try again. Lights that are unplugged stay unavailable.");

// The height a message view takes in a footer of the list's width.
template <typename View>
int heightAt(View &view, int width)
{
    view.resize(width, 10);
    return view.layout()->hasHeightForWidth() ? view.layout()->totalHeightForWidth(width) : view.sizeHint().height();
}

} // namespace

TEST(NoticesTest, ALongMessageWrapsAndItsBackgroundGrows)
{
    StatusMessage shortLine(QStringLiteral("Offline"), StatusMessage::Kind::error);
    StatusMessage longLine(longMessage, StatusMessage::Kind::error);
    EXPECT_GT(heightAt(longLine, 408), heightAt(shortLine, 408) + 30);

    LightsNotice shortNotice(QStringLiteral("Offline"));
    LightsNotice longNotice(longMessage);
    EXPECT_GT(heightAt(longNotice, 408), heightAt(shortNotice, 408) + 30);
}

TEST(NoticesTest, EachViewIsReadAsOneElementNamedByItsMessage)
{
    QWidget window;
    auto *line = new StatusMessage(QStringLiteral("Offline"), StatusMessage::Kind::neutral, &window);
    auto *notice = new LightsNotice(QStringLiteral("Unavailable lights couldn’t be changed."), &window);
    notice->setMessage(QStringLiteral("Changed <b>text</b>"));
    window.show();
    for (const auto &[widget, name] : {std::pair<QWidget *, QString>{line, "Offline"}, {notice, "Changed <b>text</b>"}}) {
        QAccessibleInterface *element = QAccessible::queryAccessibleInterface(widget);
        ASSERT_NE(element, nullptr);
        EXPECT_EQ(element->childCount(), 0);
        EXPECT_EQ(element->text(QAccessible::Name), name);
    }
}

TEST(NoticesTest, AnErrorLineIsOrangeAndANeutralOneSecondaryInEitherScheme)
{
    QWidget window;
    auto *error = new StatusMessage(QStringLiteral("x"), StatusMessage::Kind::error, &window);
    auto *neutral = new StatusMessage(QStringLiteral("x"), StatusMessage::Kind::neutral, &window);
    for (const ui::ColorScheme scheme : {ui::ColorScheme::Light, ui::ColorScheme::Dark}) {
        ui::Environment::scope(&window).set(ui::colorSchemeKey, scheme);
        EXPECT_EQ(error->colour(), ui::systemColours::orange().resolve(scheme));
        EXPECT_EQ(neutral->colour(), ui::systemColours::secondary().resolve(scheme));
    }
}

TEST(NoLightsPageTest, UnderTheArrivalPillTheSummaryAndActionStepBackButTheMenuStays)
{
    QWidget window;
    auto *page = new NoLightsFoundView({.recoveryTitle = QStringLiteral("Try again")}, [] {}, &window);
    window.show();
    EXPECT_TRUE(page->actionButton()->isVisible());
    page->apply({.showsArrivalPill = true, .recoveryTitle = QStringLiteral("Try again")});
    EXPECT_FALSE(page->actionButton()->isVisible());
    EXPECT_FALSE(page->actionButton()->isEnabled());
    EXPECT_FALSE(page->summary()->isVisible());
    EXPECT_TRUE(page->menuEntries().front().enabled);

    page->apply({.isRefreshing = true, .recoveryTitle = QStringLiteral("Try again")});
    EXPECT_FALSE(page->actionButton()->isEnabled());
    EXPECT_FALSE(page->menuEntries().front().enabled);
}

TEST(NoLightsPageTest, ThePageIsAtLeastThePanelsHeightAndGrowsForALongMessage)
{
    QWidget window;
    auto *page = new NoLightsFoundView({}, [] {}, &window);
    EXPECT_GE(page->sizeHint().expandedTo(page->minimumSize()).height(), 434);
    page->apply({.panelHeight = 500});
    EXPECT_GE(page->minimumHeight(), 500);
    page->apply({.panelHeight = 300, .errorMessage = QStringLiteral("Offline")});
    const int oneLine = page->message()->heightForWidth(page->message()->width());
    page->apply({.panelHeight = 300, .errorMessage = longMessage});
    EXPECT_EQ(page->message()->width(), 296);
    EXPECT_GT(page->message()->heightForWidth(296), oneLine + 40);
}

TEST(NoLightsPageTest, TheActionKeepsTheKeyboardWhileTheLightsLoad)
{
    QWidget window;
    auto *page = new NoLightsFoundView({}, [] {}, &window);
    // The next control in the window, as the settings menu is beside the action.
    auto *next = new QPushButton(QStringLiteral("Settings"), &window);
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(page);
    layout->addWidget(next);
    window.show();
    activate(window);
    page->actionButton()->setFocus(Qt::TabFocusReason);

    page->apply({.isRefreshing = true});
    page->apply({});
    EXPECT_TRUE(page->actionButton()->hasFocus());
}
