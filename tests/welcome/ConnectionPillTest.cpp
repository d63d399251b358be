#include "ActiveWindow.h"
#include "ui/UiHarness.h"

#include "welcome/ConnectionPill.h"
#include "welcome/ConnectionPillMetrics.h"
#include "welcome/ConnectionPillTexts.h"
#include "welcome/FoundContent.h"
#include "welcome/PillActionButton.h"
#include "welcome/PillButtonContent.h"
#include "welcome/PillText.h"
#include "welcome/RetryContent.h"
#include "welcome/SearchingContent.h"
#include "welcome/WelcomeBottomBar.h"

#include "ui/Accessibility.h"
#include "ui/MotionRecorder.h"
#include "ui/PlainToolTip.h"
#include "ui/SystemFont.h"

#include <QAccessible>
#include <QFontMetricsF>
#include <QPushButton>
#include <QTest>
#include <QtMath>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace std::chrono_literals;
using vantora::ConnectionPill;
using vantora::ConnectionPillState;
using vantora::ConnectionPillTexts;
using vantora::FoundContent;
using vantora::PillActionButton;
using vantora::PillButtonContent;
using vantora::RetryContent;
using vantora::SearchingContent;
using vantora::testing::pointerEnters;
using vantora::testing::UiHarness;
using vantora::ui::Animation;
using vantora::ui::MotionRecorder;
namespace pillMetrics = vantora::pillMetrics;

namespace {

// Measured here the way a person would: the text in the 14-pixel font, rounded up.
int measured(const QString &text, QFont::Weight weight = QFont::Normal)
{
    return qCeil(QFontMetricsF(vantora::ui::systemFont(14, weight)).horizontalAdvance(text));
}

QString repeated(const char *word, int times)
{
    QString text;
    for (int i = 0; i < times; ++i)
        text += QString::fromLatin1(word);
    return text;
}

const Animation stateSpring = Animation::spring(0.28, 1);

struct ConnectionPillTest : ::testing::Test {
    UiHarness ui;
    std::vector<std::string> actions;
    ConnectionPill *pill = new ConnectionPill(ConnectionPillState::ready(), [this] { actions.push_back("action"); },
                                              &ui.window);

    void SetUp() override
    {
        pill->move(20, 20);
        ui.window.show();
        ui.runUntilIdle();
    }

    void apply(const ConnectionPillState &state)
    {
        pill->apply(state);
        ui.runUntilIdle();
    }

    QString shownMessage() const
    {
        const auto *searching = qobject_cast<SearchingContent *>(pill->content());
        return searching ? searching->message() : QString();
    }

    void clickAt(QPoint pointInPill)
    {
        QTest::mouseClick(ui.window.windowHandle(), Qt::LeftButton, {}, pill->mapTo(&ui.window, pointInPill));
        ui.runUntilIdle();
    }
};

} // namespace

TEST(ConnectionPillState, EqualMeansSameCaseAndSamePayloadAndTheHashAgrees)
{
    struct Row {
        std::string name;
        ConnectionPillState a;
        ConnectionPillState b;
        bool equal;
    };
    const std::vector<Row> rows = {
        {"the same case without payload", ConnectionPillState::searching(), ConnectionPillState::searching(), true},
        {"different cases", ConnectionPillState::ready(), ConnectionPillState::choose(), false},
        {"found with the same name and address", ConnectionPillState::found("Hall", "10.0.0.2"),
         ConnectionPillState::found("Hall", "10.0.0.2"), true},
        {"found with another address", ConnectionPillState::found("Hall", "10.0.0.2"),
         ConnectionPillState::found("Hall", "10.0.0.3"), false},
        {"found with name and address swapped", ConnectionPillState::found("a", "b"), ConnectionPillState::found("b", "a"),
         false},
        {"retry with another message", ConnectionPillState::retry("Not paired..."),
         ConnectionPillState::retry("Nothing found..."), false},
        {"an empty retry is not ready", ConnectionPillState::retry(""), ConnectionPillState::ready(), false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.a == row.b, row.equal);
        if (row.equal) {
            EXPECT_EQ(qHash(row.a), qHash(row.b));
        }
    }
    EXPECT_NE(qHash(ConnectionPillState::found("a", "b")), qHash(ConnectionPillState::found("b", "a")));
}

TEST(ConnectionPillMetrics, WidthsFollowTheMeasuredTextsAndStopAt392)
{
    const QString tryAgain = ConnectionPillTexts::tryAgain();
    struct Row {
        std::string name;
        ConnectionPillState state;
        int width;
        int height;
    };
    const std::vector<Row> rows = {
        {"ready: the title and 30", ConnectionPillState::ready(), measured("Pair Bridge device", QFont::Medium) + 30, 36},
        {"searching: always 218", ConnectionPillState::searching(), 218, 38},
        {"choose: the title, the chevron and the sides", ConnectionPillState::choose(),
         measured("Choose Bridge", QFont::Medium) + 48, 38},
        {"found: both texts and 108", ConnectionPillState::found("Living Room", "192.168.1.20"),
         measured("Living Room") + measured("192.168.1.20") + 108, 38},
        {"found: name and address past 284 together", ConnectionPillState::found(repeated("Bridge ", 12), "10.0.0.2"),
         392, 38},
        {"retry: message, button and 64", ConnectionPillState::retry("Not paired..."),
         measured("Not paired...") + measured(tryAgain, QFont::Medium) + 64, 38},
        {"retry: an empty message", ConnectionPillState::retry(""), measured(tryAgain, QFont::Medium) + 64, 38},
        {"retry: a long message", ConnectionPillState::retry(repeated("Couldn’t connect ", 10)), 392, 38},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(pillMetrics::pillWidth(row.state), row.width);
        EXPECT_EQ(pillMetrics::pillHeight(row.state), row.height);
    }
}

TEST(ConnectionPillMetrics, TheFoundAddressKeepsItsWidthBeforeTheName)
{
    struct Row {
        std::string name;
        qreal pillWidth;
        qreal name_;
        qreal address;
        pillMetrics::FoundRowWidths expected;
    };
    const qreal minimum = 10; // what a cut name keeps: its ellipsis
    const std::vector<Row> rows = {
        {"both fit", 108 + 150, 100, 50, {100, 50}},
        {"the name is cut first", 392, 250, 100, {184, 100}},
        {"a name shorter than an ellipsis keeps its width", 392, 6, 400, {6, 278}},
        {"an address too long by itself is cut", 392, 80, 400, {10, 274}},
        {"a pill narrower than its fixed parts", 100, 80, 60, {0, 0}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(pillMetrics::foundRowWidths(row.pillWidth, row.name_, row.address, std::min(row.name_, minimum)),
                  row.expected);
    }
}

TEST_F(ConnectionPillTest, TheWidgetTakesTheSizeOfItsStateOnceTheSpringSettles)
{
    const std::vector<ConnectionPillState> states = {
        ConnectionPillState::searching(),
        ConnectionPillState::found("Hall", "10.0.0.2"),
        ConnectionPillState::retry("Couldn’t connect..."),
        ConnectionPillState::choose(),
        ConnectionPillState::ready(),
    };
    for (const ConnectionPillState &state : states) {
        SCOPED_TRACE(static_cast<int>(state.kind()));
        apply(state);
        ui.advance(1s);
        EXPECT_EQ(pill->size(), QSize(pillMetrics::pillWidth(state), pillMetrics::pillHeight(state)));
    }
}

TEST_F(ConnectionPillTest, SearchMessagesTurnEveryTwoAndAHalfSecondsAndRepeat)
{
    apply(ConnectionPillState::searching());
    const auto &messages = ConnectionPillTexts::searchMessages();
    EXPECT_EQ(shownMessage(), "Searching...");
    ui.advance(2499ms);
    EXPECT_EQ(shownMessage(), "Searching...");
    ui.advance(1ms);
    EXPECT_EQ(shownMessage(), "Processing...");
    for (int step = 2; step <= 7; ++step) {
        ui.advance(2500ms);
        EXPECT_EQ(shownMessage(), messages.at(step % 7));
    }
    EXPECT_EQ(shownMessage(), "Searching...");
    EXPECT_EQ(messages.at(6), "Hold on...");
}

TEST_F(ConnectionPillTest, EveryNewStateStartsTheMessagesAgainAndAnEqualOneDoesNot)
{
    apply(ConnectionPillState::searching());
    ui.advance(5s);
    ASSERT_EQ(pill->searchMessageIndex(), 2);

    apply(ConnectionPillState::searching()); // equal: nothing restarts
    ui.advance(2500ms);
    EXPECT_EQ(pill->searchMessageIndex(), 3);

    apply(ConnectionPillState::found("Hall", "10.0.0.2"));
    EXPECT_EQ(pill->searchMessageIndex(), 0);
    ui.advance(10s);
    EXPECT_EQ(pill->searchMessageIndex(), 0); // only searching turns

    apply(ConnectionPillState::searching());
    EXPECT_EQ(shownMessage(), "Searching...");
    ui.advance(2500ms);
    EXPECT_EQ(shownMessage(), "Processing...");
}

TEST_F(ConnectionPillTest, TheRotationRunsOnlyWhileThePillIsOnScreen)
{
    apply(ConnectionPillState::searching());
    ui.advance(2500ms);
    ASSERT_EQ(pill->searchMessageIndex(), 1);

    pill->hide();
    ui.runUntilIdle();
    ui.advance(10s);
    EXPECT_EQ(pill->searchMessageIndex(), 1);
    EXPECT_EQ(ui.tasks.clock.sleeperCount(), 0u);

    pill->show();
    ui.runUntilIdle();
    EXPECT_EQ(pill->searchMessageIndex(), 0);
    ui.advance(2500ms);
    EXPECT_EQ(pill->searchMessageIndex(), 1);
}

TEST_F(ConnectionPillTest, ANewFoundPayloadReplacesTheContentAndAnEqualOneKeepsIt)
{
    apply(ConnectionPillState::found("Hall", "10.0.0.2"));
    const auto *first = pill->content();

    apply(ConnectionPillState::found("Hall", "10.0.0.2"));
    EXPECT_EQ(pill->content(), first);

    apply(ConnectionPillState::found("Hall", "10.0.0.3"));
    EXPECT_NE(pill->content(), first);
}

TEST_F(ConnectionPillTest, StateAndMessageChangesSpringUnlessReduceMotionIsOn)
{
    for (const bool reduce : {false, true}) {
        SCOPED_TRACE(reduce ? "reduce motion" : "full motion");
        ui.setReduceMotion(reduce);
        apply(ConnectionPillState::ready());
        ui.advance(1s);
        MotionRecorder recorder;

        apply(ConnectionPillState::searching());
        const auto *searching = pill->content();
        ui.advance(2500ms);

        const Animation expected = reduce ? Animation::none() : stateSpring;
        EXPECT_EQ(recorder.animationsOf(pill, "size"), std::vector<Animation>{expected});
        EXPECT_EQ(recorder.animationsOf(searching, "presence"), std::vector<Animation>{expected});
        EXPECT_EQ(recorder.animationsOf(searching, "searchMessage"), std::vector<Animation>{expected});
        EXPECT_EQ(shownMessage(), "Processing..."); // messages change either way
        if (reduce) { // no cross-fade: the old content is gone at once
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            EXPECT_EQ(pill->findChildren<vantora::PillContent *>().size(), 1);
        }
    }
}

TEST_F(ConnectionPillTest, TheHighlightShowsOnlyInReadyUnderThePointer)
{
    ui.setReduceMotion(true);
    struct Row {
        std::string name;
        ConnectionPillState state;
        double highlight;
    };
    const std::vector<Row> rows = {
        {"ready", ConnectionPillState::ready(), 1},
        {"searching", ConnectionPillState::searching(), 0},
        {"found", ConnectionPillState::found("Hall", "10.0.0.2"), 0},
        {"choose", ConnectionPillState::choose(), 0},
    };
    pointerEnters(pill);
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        apply(row.state);
        EXPECT_TRUE(pill->isHovered());
        EXPECT_EQ(pill->highlightAmount(), row.highlight);
    }
}

TEST_F(ConnectionPillTest, TheActionFiresFromTheCapsuleInReadyAndChooseAndFromTryAgainInRetry)
{
    ui.setReduceMotion(true);
    struct Row {
        std::string name;
        ConnectionPillState state;
        bool fires;
    };
    const std::vector<Row> rows = {
        {"ready", ConnectionPillState::ready(), true},
        {"choose", ConnectionPillState::choose(), true},
        {"searching", ConnectionPillState::searching(), false},
        {"found", ConnectionPillState::found("Hall", "10.0.0.2"), false},
        {"retry, the message", ConnectionPillState::retry("Not paired..."), false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        apply(row.state);
        actions.clear();
        clickAt(QPoint(1, 1)); // outside the capsule's rounded end
        EXPECT_TRUE(actions.empty());
        clickAt(QPoint(24, pill->height() / 2));
        clickAt(pill->rect().center());
        EXPECT_EQ(actions.size(), row.fires ? 2u : 0u);
    }

    auto *retry = qobject_cast<RetryContent *>(pill->content());
    ASSERT_NE(retry, nullptr);
    actions.clear();
    clickAt(retry->button()->geometry().center());
    EXPECT_EQ(actions.size(), 1u);
}

TEST_F(ConnectionPillTest, APressedButtonDimsItsLabelUntilRelease)
{
    auto *ready = qobject_cast<PillButtonContent *>(pill->content());
    ASSERT_NE(ready, nullptr);
    PillActionButton *button = ready->button();
    const QPoint centre = button->mapTo(&ui.window, button->rect().center());

    QTest::mousePress(ui.window.windowHandle(), Qt::LeftButton, {}, centre);
    EXPECT_EQ(button->labelOpacity(), 0.65);
    QTest::mouseRelease(ui.window.windowHandle(), Qt::LeftButton, {}, centre);
    EXPECT_EQ(button->labelOpacity(), 1);
    EXPECT_EQ(actions.size(), 1u);
}

TEST_F(ConnectionPillTest, AFoundBridgeKeepsItsAddressAndCutsItsNameWhenTheyDoNotFit)
{
    ui.setReduceMotion(true);
    const QString name = repeated("Upstairs Hall ", 8);
    const QString address = QStringLiteral("192.168.100.200");
    apply(ConnectionPillState::found(name, address));
    auto *found = qobject_cast<FoundContent *>(pill->content());
    ASSERT_NE(found, nullptr);

    EXPECT_EQ(pill->width(), 392);
    EXPECT_EQ(found->addressText()->displayedText(), address);
    EXPECT_TRUE(found->nameText()->displayedText().endsWith(QStringLiteral("…")));
    EXPECT_LE(found->addressText()->geometry().right(), pill->width() - 16);

    const QString longAddress = repeated("fe80::1ff:fe23:4567:890a%", 3);
    apply(ConnectionPillState::found(QStringLiteral("Hall"), longAddress));
    found = qobject_cast<FoundContent *>(pill->content());
    const QString shown = found->addressText()->displayedText();
    EXPECT_TRUE(shown.contains(QStringLiteral("…")));
    EXPECT_TRUE(longAddress.startsWith(shown.section(QStringLiteral("…"), 0, 0)));
    EXPECT_TRUE(longAddress.endsWith(shown.section(QStringLiteral("…"), 1)));
}

TEST_F(ConnectionPillTest, BridgeNamesAreShownAsTheyAreWrittenNeverAsMarkup)
{
    ui.setReduceMotion(true);
    const QString name = QStringLiteral("<b>x</b>");
    apply(ConnectionPillState::found(name, QStringLiteral("10.0.0.2")));
    auto *found = qobject_cast<FoundContent *>(pill->content());
    ASSERT_NE(found, nullptr);

    EXPECT_EQ(pill->width(), measured(name) + measured("10.0.0.2") + 108);
    EXPECT_EQ(found->nameText()->displayedText(), name);
    EXPECT_EQ(found->nameText()->width(), measured(name));
    EXPECT_TRUE(vantora::ui::plainToolTipOf(*found).contains(name));

    // Drawn as eight characters, not as a bold "x": ink spreads over most of the name's box.
    const QImage image = found->nameText()->grab().toImage();
    int inkedColumns = 0;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (qAlpha(image.pixel(x, y)) > 0) {
                ++inkedColumns;
                break;
            }
        }
    }
    EXPECT_GT(inkedColumns, measured(QStringLiteral("x")) * 3);

    QAccessibleInterface *element = QAccessible::queryAccessibleInterface(found);
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->text(QAccessible::Name), "Bridge found: <b>x</b>, 10.0.0.2. Press its physical button to pair.");
    EXPECT_EQ(element->childCount(), 0);
}

TEST_F(ConnectionPillTest, SearchingIsOneAccessibleElementAndReadyCarriesAHint)
{
    auto *ready = qobject_cast<PillButtonContent *>(pill->content());
    ASSERT_NE(ready, nullptr);
    EXPECT_EQ(ready->button()->accessibleDescription(), "Find your Hue Bridge and begin pairing");

    apply(ConnectionPillState::searching());
    QAccessibleInterface *element = QAccessible::queryAccessibleInterface(pill->content());
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->text(QAccessible::Name), "Searching for your Hue Bridge");
    EXPECT_EQ(element->childCount(), 0);
}

// Where the keys are shows on the welcome screen's own buttons: a Tab draws more than the
// darker colour a click leaves, and a click draws no ring.
TEST(WelcomeButtonsTest, FocusFromTheKeyboardShowsOnThePillsButtonsAndTheBottomLinks)
{
    struct Row {
        const char *name;
        std::function<QAbstractButton *(QWidget *parent)> make;
    };
    const Row rows[] = {
        {"Pair Bridge, the whole pill",
         [](QWidget *parent) {
             auto *button = new PillActionButton("Pair Bridge", PillActionButton::Trailing::Nothing,
                                                 PillActionButton::HitShape::Capsule, vantora::ui::DynamicColor{Qt::black, Qt::white}, parent);
             button->setGeometry(0, 0, 160, 36);
             return button;
         }},
        {"Try again, only its label",
         [](QWidget *parent) {
             auto *button = new PillActionButton("Try again", PillActionButton::Trailing::Nothing,
                                                 PillActionButton::HitShape::Bounds, vantora::ui::DynamicColor{Qt::black, Qt::white}, parent);
             button->setGeometry(QRect(QPoint(0, 0), QSize(button->sizeHint().width(), 36)));
             return button;
         }},
        {"a link of the bottom bar",
         [](QWidget *parent) {
             auto *button = new vantora::PlainTextButton("Connection help", parent);
             button->setGeometry(QRect(QPoint(0, 0), button->sizeHint()));
             return button;
         }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        UiHarness ui;
        QAbstractButton *button = row.make(&ui.window);
        auto *other = new QPushButton("Other", &ui.window);
        other->move(0, 60);
        ui.window.show();
        vantora::testing::activate(ui.window);
        button->setFocus(Qt::MouseFocusReason);
        const QImage clicked = button->grab().toImage();
        other->setFocus(Qt::TabFocusReason);
        button->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(button->hasFocus());
        EXPECT_NE(button->grab().toImage(), clicked) << "a Tab shows nothing more than a click";
    }
}
