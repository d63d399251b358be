#include "ActiveWindow.h"
#include "StoreRig.h"

#include "bridge/HueError.h"
#include "bridge/HueReplyDecoder.h"
#include "controls/BrightnessCardContent.h"
#include "controls/ColourCardContent.h"
#include "controls/ColourSpectrum.h"
#include "controls/ControlCard.h"
#include "controls/DetailPowerRow.h"
#include "controls/DetailStatusLine.h"
#include "controls/LightDetailModel.h"
#include "controls/LightDetailView.h"
#include "controls/LightToggle.h"
#include "controls/LightValueSlider.h"
#include "controls/LineLimitedLabel.h"
#include "controls/PlainTextButton.h"
#include "controls/WhitePresetStrip.h"

#include "runtime/UserDefaults.h"
#include "store/ToggleAppearance.h"
#include "ui/ElidedLabel.h"
#include "ui/PaintProbe.h"
#include "ui/EnvironmentKeys.h"
#include "ui/LightsActionButton.h"
#include "ui/MotionRecorder.h"
#include "ui/TextLabel.h"
#include "ui/ViewRuntime.h"

#include <QAccessible>
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#include <QAccessibleAttributesInterface>
#endif
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <utility>

namespace vantora::testing {
namespace {

using namespace std::chrono_literals;
using Request = ScriptedLightService::Request;

// The demonstration home and a plain switch, in a window on the store's virtual clock.
struct PageRig {
    explicit PageRig(const char *lightID, HueSnapshot home = homeWithPlug())
    {
        rig.buildConnected(std::move(home));
        rig.lights->lightUpdates.alwaysReturn(ScriptedLightService::Done{});
        ui::Environment::scope(&window).set(ui::viewRuntimeKey, ui::ViewRuntime{&rig.harness.clock, &rig.harness.executor});
        page = new LightDetailView(*rig.store, QString::fromLatin1(lightID), &window);
        page->setFixedHeight(LightDetailView::tallestHeight);
        window.show();
        activate(window);
    }

    static HueSnapshot homeWithPlug()
    {
        HueSnapshot home = HueSnapshot::demo();
        home.lights.push_back(HueLight{.id = QStringLiteral("plug"), .name = QStringLiteral("Smart plug"),
                                       .roomName = QStringLiteral("Kitchen"), .isOn = true, .isReachable = true});
        return home;
    }

    std::vector<LightChange> sent() const
    {
        std::vector<LightChange> changes;
        for (const Request &request : rig.lights->requests) {
            if (request.kind == Request::Kind::updateLight)
                changes.push_back(*request.change);
        }
        return changes;
    }

    void settle() { rig.harness.clock.advance(1s); }

    StoreRig rig;
    QWidget window;
    LightDetailView *page = nullptr;
};

TEST(LightDetailView, ADragOnTheBrightnessSliderReachesTheBridge)
{
    PageRig rig("1");
    controls::LightValueSlider *slider = rig.page->brightnessContent()->slider();
    const int y = slider->height() / 2;
    QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(30, y));
    QTest::mouseMove(slider, QPoint(slider->width() / 2, y));
    rig.rig.harness.executor.runUntilIdle();
    EXPECT_TRUE(rig.page->model().isEditing());
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(slider->width() / 2, y));
    rig.settle();

    const std::vector<LightChange> sent = rig.sent();
    ASSERT_FALSE(sent.empty());
    ASSERT_TRUE(sent.back().brightness);
    EXPECT_DOUBLE_EQ(*sent.back().brightness, slider->value());
    EXPECT_EQ(rig.page->model().light().brightness, slider->value()) << "the store published what the bridge took";
    EXPECT_EQ(rig.page->brightnessContent()->readout()->text(), rig.page->model().brightnessReadout());
}

TEST(LightDetailView, EscapeAndTheBackButtonAskToGoBack)
{
    PageRig rig("1");
    QSignalSpy back(rig.page, &LightDetailView::backRequested);
    QTest::keyClick(rig.page, Qt::Key_Escape);
    rig.page->brightnessContent()->slider()->setFocus();
    QTest::keyClick(rig.page->brightnessContent()->slider(), Qt::Key_Escape);
    QTest::mouseClick(rig.page->backButton(), Qt::LeftButton, {}, rig.page->backButton()->rect().center());
    EXPECT_EQ(back.count(), 3);
    EXPECT_EQ(rig.page->backButton()->accessibleName(), QStringLiteral("Back to all lights"));
}

TEST(LightDetailView, TheHeaderAccessoryCanBeSetAgainAndMayGoAwayFirst)
{
    PageRig rig("1");
    QPointer<QWidget> menu = new QWidget;
    rig.page->setHeaderAccessory(menu);
    rig.page->setHeaderAccessory(menu);
    ASSERT_TRUE(menu) << "setting the same accessory again keeps it";
    EXPECT_TRUE(rig.page->isAncestorOf(menu));
    delete menu.data();
    QPointer<QWidget> next = new QWidget;
    rig.page->setHeaderAccessory(next);
    EXPECT_TRUE(next && rig.page->isAncestorOf(next));
}

// The widgets Tab visits from the page, in order.
std::vector<QWidget *> tabOrder(QWidget *page)
{
    std::vector<QWidget *> visited;
    for (QWidget *widget = page->nextInFocusChain(); widget != page; widget = widget->nextInFocusChain()) {
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(page) && widget->isEnabled())
            visited.push_back(widget);
    }
    return visited;
}

TEST(LightDetailView, EveryControlIsReachableWithTabAndWorksFromTheKeyboard)
{
    PageRig rig("1");
    LightDetailView &page = *rig.page;
    controls::ColourCardContent &colour = *page.colourContent();
    const std::vector<QWidget *> colourMode = tabOrder(&page);
    for (QWidget *control : std::initializer_list<QWidget *>{
             page.backButton(), page.powerRow()->powerToggle(), page.brightnessContent()->slider(),
             colour.colourSegment(), colour.whiteSegment(), colour.spectrum()})
        EXPECT_NE(std::find(colourMode.begin(), colourMode.end(), control), colourMode.end())
            << control->metaObject()->className();

    colour.whiteSegment()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(colour.whiteSegment(), Qt::Key_Space);
    rig.settle();
    ASSERT_TRUE(page.model().whiteMode());
    const std::vector<QWidget *> whiteMode = tabOrder(&page);
    EXPECT_NE(std::find(whiteMode.begin(), whiteMode.end(), colour.temperatureSlider()), whiteMode.end());
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // A reader speaks a slider's value text, with its unit, from the valuetext attribute.
    for (QWidget *slider : std::initializer_list<QWidget *>{page.brightnessContent()->slider(), colour.temperatureSlider()}) {
        QAccessibleInterface *element = QAccessible::queryAccessibleInterface(slider);
        auto *attributes =
            static_cast<QAccessibleAttributesInterface *>(element->interface_cast(QAccessible::AttributesInterface));
        ASSERT_NE(attributes, nullptr);
        const auto custom = attributes->attributeValue(QAccessible::Attribute::Custom).value<QHash<QString, QString>>();
        EXPECT_EQ(custom.value(QStringLiteral("valuetext")), element->text(QAccessible::Value));
        EXPECT_TRUE(custom.value(QStringLiteral("valuetext")).contains(QRegularExpression(QStringLiteral("\\d (percent|kelvin)$"))))
            << custom.value(QStringLiteral("valuetext")).toStdString();
    }
#endif
    // A reader names the roles of what it enters on the way to a control: no layered pane.
    for (QWidget *control : std::initializer_list<QWidget *>{colour.spectrum(), colour.temperatureSlider()}) {
        for (QAccessibleInterface *element = QAccessible::queryAccessibleInterface(control); element;
             element = element->parent())
            EXPECT_NE(element->role(), QAccessible::LayeredPane) << control->metaObject()->className();
    }
    for (std::size_t index = 0; index < 4; ++index)
        EXPECT_NE(std::find(whiteMode.begin(), whiteMode.end(), colour.presets()->button(index)), whiteMode.end());

    colour.presets()->button(2)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(colour.presets()->button(2), Qt::Key_Space);
    rig.settle();
    page.brightnessContent()->slider()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(page.brightnessContent()->slider(), Qt::Key_Right);
    rig.settle();
    page.powerRow()->powerToggle()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(page.powerRow()->powerToggle(), Qt::Key_Space);
    rig.settle();

    const std::vector<LightChange> sent = rig.sent();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[0], LightChange{.temperature = 370}) << "White";
    EXPECT_EQ(sent[1], LightChange{.temperature = 250}) << "Focus";
    EXPECT_EQ(sent[2].brightness, 72 + 0.99);
    EXPECT_EQ(sent[3], LightChange{.on = false});
    EXPECT_TRUE(colour.presets()->button(2)->isSelected());
    EXPECT_EQ(colour.presets()->button(2)->accessibleName(), QStringLiteral("Focus, 4000 kelvin"));
}

TEST(LightDetailView, TurningTheLightOffLocksTheCardsAtOnceButNotTheSwitch)
{
    PageRig rig("1");
    ui::Environment::scope(&rig.window).set(ui::reduceMotionKey, true);
    auto gate = rig.rig.lights->lightUpdates.thenWait();
    LightToggle *toggle = rig.page->powerRow()->powerToggle();
    QTest::mouseClick(toggle, Qt::LeftButton, {}, toggle->rect().center());
    rig.rig.harness.executor.runUntilIdle();

    for (controls::ControlCard *card : {rig.page->brightnessCard(), rig.page->colourCard()}) {
        EXPECT_TRUE(card->isLocked());
        EXPECT_FALSE(card->bodyWidget()->isEnabled());
        EXPECT_DOUBLE_EQ(card->bodyOpacity(), controls::ControlCard::lockedOpacity) << "at once under Reduce Motion";
    }
    EXPECT_FALSE(rig.page->brightnessContent()->slider()->isEnabled());
    EXPECT_FALSE(toggle->isOn()) << "the switch shows the wanted state while it is in flight";
    EXPECT_TRUE(toggle->isEnabled());

    gate->open(ScriptedLightService::Done{});
    rig.settle();
    QTest::mouseClick(toggle, Qt::LeftButton, {}, toggle->rect().center());
    rig.settle();
    EXPECT_FALSE(rig.page->brightnessCard()->isLocked());
    EXPECT_DOUBLE_EQ(rig.page->brightnessCard()->bodyOpacity(), 1.0);
}

TEST(LightDetailView, TheSwitchIsOneCheckBoxThatAsksForTheChangeAndShowsItAtOnce)
{
    PageRig rig("1");
    auto gate = rig.rig.lights->lightUpdates.thenWait();
    LightToggle *toggle = rig.page->powerRow()->powerToggle();
    QAccessibleInterface *element = QAccessible::queryAccessibleInterface(toggle);
    ASSERT_EQ(element->role(), QAccessible::CheckBox);
    EXPECT_EQ(element->text(QAccessible::Name), QStringLiteral("Floor lamp power"));
    EXPECT_TRUE(element->state().checked);

    element->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    rig.rig.harness.executor.runUntilIdle();
    EXPECT_EQ(rig.sent(), std::vector<LightChange>{{.on = false}});
    EXPECT_FALSE(element->state().checked) << "the wanted state, while the change is in flight";
    EXPECT_FALSE(toggle->artwork()->fields().isOn);

    gate->open(ScriptedLightService::Done{});
    rig.settle();
    toggle->setFocus(Qt::TabFocusReason);
    QTest::keyClick(toggle, Qt::Key_Return);
    rig.settle();
    EXPECT_EQ(rig.sent().back(), LightChange{.on = true}) << "Return switches like Space";
    EXPECT_TRUE(toggle->isOn());
}

TEST(LightDetailView, TheSwitchDrawsInTheUsersToggleColourWhereverThePageIsPlaced)
{
    PageRig rig("1");
    runtime::MemoryUserDefaults defaults;
    ToggleAppearance appearance(defaults);
    appearance.setColor(ToggleColor::purple);
    ui::Environment::scope(&rig.window).set(toggleAppearanceKey, QPointer<ToggleAppearance>(&appearance));
    EXPECT_EQ(rig.page->powerRow()->powerToggle()->artwork()->resolvedColor(), ToggleColor::purple);

    // As the panel does: the page is built on its own and placed afterwards.
    auto *placed = new LightDetailView(*rig.rig.store, QStringLiteral("1"));
    placed->setParent(&rig.window);
    placed->show();
    const LightToggleArtwork *artwork = placed->powerRow()->powerToggle()->artwork();
    EXPECT_EQ(artwork->resolvedColor(), ToggleColor::purple);
    appearance.setColor(ToggleColor::green);
    EXPECT_EQ(artwork->resolvedColor(), ToggleColor::green);
    EXPECT_EQ(rig.page->powerRow()->powerToggle()->artwork()->resolvedColor(), ToggleColor::green);
}

TEST(LightDetailView, AControlLockedWhileFocusedLeavesTheFocusOnThePage)
{
    PageRig rig("1");
    QSignalSpy back(rig.page, &LightDetailView::backRequested);
    auto gate = rig.rig.lights->lightUpdates.thenWait();
    controls::LightValueSlider *slider = rig.page->brightnessContent()->slider();
    slider->setFocus(Qt::TabFocusReason);
    rig.page->model().setPower(false);
    rig.rig.harness.executor.runUntilIdle();
    ASSERT_FALSE(slider->isEnabled());

    QWidget *focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr) << "the focus went nowhere";
    EXPECT_TRUE(focus == rig.page || rig.page->isAncestorOf(focus));
    QTest::keyClick(focus, Qt::Key_Escape);
    EXPECT_EQ(back.count(), 1) << "Escape still leaves the page";
}

TEST(LightDetailView, CardsFadeAndThePresetHighlightSpringsUnlessMotionIsReduced)
{
    for (const bool reduceMotion : {false, true}) {
        SCOPED_TRACE(reduceMotion ? "reduced motion" : "full motion");
        PageRig rig("2");
        ui::Environment::scope(&rig.window).set(ui::reduceMotionKey, reduceMotion);
        ui::MotionRecorder motion;
        controls::WhitePresetStrip *presets = rig.page->colourContent()->presets();
        QTest::mouseClick(presets->button(3), Qt::LeftButton, {}, presets->button(3)->rect().center());
        rig.settle();
        LightToggle *toggle = rig.page->powerRow()->powerToggle();
        QTest::mouseClick(toggle, Qt::LeftButton, {}, toggle->rect().center());
        rig.settle();

        const ui::Animation fade = reduceMotion ? ui::Animation::none() : ui::Animation::easeOut(0.15);
        const ui::Animation spring = reduceMotion ? ui::Animation::none() : ui::Animation::spring(0.32, 0.86);
        EXPECT_EQ(motion.animationsOf(rig.page->colourCard(), "bodyOpacity"), std::vector<ui::Animation>{fade});
        EXPECT_EQ(motion.animationsOf(presets, "presetHighlight"), std::vector<ui::Animation>{spring});
    }
}

TEST(LightDetailView, ThePageShowsWhatTheLightSupports)
{
    struct Row {
        const char *lightID;
        bool brightness;
        bool colour;
        bool note;
        bool modeSelector;
        QString title;
        bool kelvinReadout;
    };
    const Row rows[] = {
        {"1", true, true, false, true, {}, false},
        {"2", true, true, false, false, QStringLiteral("White temperature"), true},
        {"4", true, false, false, false, {}, false},
        {"plug", false, false, true, false, {}, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.lightID);
        PageRig rig(row.lightID);
        LightDetailView &page = *rig.page;
        EXPECT_EQ(page.brightnessCard()->isVisibleTo(&page), row.brightness);
        EXPECT_EQ(page.colourCard()->isVisibleTo(&page), row.colour);
        EXPECT_EQ(page.onOffNote()->isVisibleTo(&page), row.note);
        if (!row.colour)
            continue;
        controls::ColourCardContent &colour = *page.colourContent();
        EXPECT_EQ(colour.colourSegment()->isVisibleTo(&page), row.modeSelector);
        EXPECT_EQ(colour.title()->isVisibleTo(&page), !row.modeSelector);
        if (!row.modeSelector) {
            EXPECT_EQ(colour.title()->text(), row.title);
        }
        EXPECT_EQ(colour.kelvinReadout()->isVisibleTo(&page), row.kelvinReadout);
        EXPECT_EQ(colour.swatch()->isVisibleTo(&page), !row.kelvinReadout);
    }
}

// Colour lights whose white temperature range is of no use, as a bridge may list them.
constexpr const char colourLightsWithoutWhite[] = R"({"errors": [], "data": [
  {"id": "reversed", "type": "light", "metadata": {"name": "Reversed"}, "on": {"on": true},
   "dimming": {"brightness": 50}, "color": {"xy": {"x": 0.3, "y": 0.3}},
   "color_temperature": {"mirek": 300, "mirek_valid": true, "mirek_schema": {"mirek_minimum": 500, "mirek_maximum": 153}}},
  {"id": "zero", "type": "light", "metadata": {"name": "Zero"}, "on": {"on": true},
   "dimming": {"brightness": 50}, "color": {"xy": {"x": 0.3, "y": 0.3}},
   "color_temperature": {"mirek": 0, "mirek_valid": true, "mirek_schema": {"mirek_minimum": 0, "mirek_maximum": 0}}},
  {"id": "beyond", "type": "light", "metadata": {"name": "Beyond"}, "on": {"on": true},
   "dimming": {"brightness": 50}, "color": {"xy": {"x": 0.3, "y": 0.3}},
   "color_temperature": {"mirek": 650, "mirek_valid": true, "mirek_schema": {"mirek_minimum": 600, "mirek_maximum": 700}}}
]})";

TEST(LightDetailView, AColourLightWithoutAUsableWhiteRangeOpensOnItsColourField)
{
    const HueSnapshot home = HueSnapshot::fromResources(
        HueReplyDecoder().resourceList(QByteArray(colourLightsWithoutWhite), IgnoredResources::skipped).data);
    for (const char *lightID : {"reversed", "zero", "beyond"}) {
        SCOPED_TRACE(lightID);
        PageRig rig(lightID, home);
        controls::ColourCardContent &colour = *rig.page->colourContent();
        EXPECT_EQ(colour.title()->text(), QStringLiteral("Colour"));
        controls::ColourSpectrum *spectrum = colour.spectrum();
        ASSERT_TRUE(spectrum->isVisible()) << "the colour field, not the white controls";

        const int y = spectrum->height() / 2;
        QTest::mousePress(spectrum, Qt::LeftButton, {}, QPoint(20, y));
        QTest::mouseMove(spectrum, QPoint(spectrum->width() - 20, y));
        QTest::mouseRelease(spectrum, Qt::LeftButton, {}, QPoint(spectrum->width() - 20, y));
        rig.settle();

        const std::vector<LightChange> sent = rig.sent();
        ASSERT_FALSE(sent.empty());
        EXPECT_TRUE(sent.back().color);
        EXPECT_FALSE(sent.back().temperature);
        EXPECT_EQ(rig.page->model().inputs().errorMessage, std::nullopt) << "the store took it";
        EXPECT_EQ(rig.page->model().light().color, sent.back().color) << "and the light shows it";
    }
}

TEST(LightDetailView, TheStatusLineIsOneAccessibleElementWithItsLabel)
{
    PageRig rig("1");
    controls::DetailStatusLine *status = rig.page->statusLine();
    EXPECT_FALSE(status->isVisibleTo(rig.page)) << "nothing to tell, no line at all";

    auto gate = rig.rig.lights->lightUpdates.thenWait();
    rig.page->model().setBrightness(40);
    rig.rig.harness.executor.runUntilIdle();
    ASSERT_TRUE(status->isVisibleTo(rig.page));
    EXPECT_EQ(status->text()->text(), QStringLiteral("Updating light…"));
    QAccessibleInterface *element = QAccessible::queryAccessibleInterface(status->text());
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->text(QAccessible::Name), QStringLiteral("Updating Floor lamp"));
    EXPECT_EQ(element->childCount(), 0);
    gate->open(ScriptedLightService::Done{});
    rig.settle();
    EXPECT_FALSE(status->isVisibleTo(rig.page));
}

TEST(LightDetailView, TryAgainResendsTheFailedChange)
{
    PageRig rig("1");
    rig.rig.lights->lightUpdates.thenFail(HueError::http(503));
    rig.page->model().setBrightness(30);
    rig.settle();
    controls::PlainTextButton *retry = rig.page->statusLine()->retryButton();
    ASSERT_TRUE(retry->isVisibleTo(rig.page));
    ASSERT_TRUE(retry->isEnabled());
    EXPECT_EQ(rig.page->statusLine()->message()->text(), HueError::http(503).errorDescription());

    QTest::mouseClick(retry, Qt::LeftButton, {}, retry->rect().center());
    rig.settle();
    EXPECT_EQ(rig.sent(), (std::vector<LightChange>{{.brightness = 30}, {.brightness = 30}}));
    EXPECT_FALSE(rig.page->statusLine()->isVisibleTo(rig.page));
}

TEST(LightDetailView, NamesFromTheBridgeArePlainTextAndStayInsideTheLayout)
{
    HueSnapshot home = PageRig::homeWithPlug();
    home.lights[0].name = QStringLiteral("<b>Hall</b> ") + QString(80, u'W');
    home.lights[0].roomName = QStringLiteral("<i>Upstairs</i> landing by the stairs to the attic and the loft room");
    PageRig rig("1", home);
    rig.rig.harness.executor.runUntilIdle();
    controls::LineLimitedLabel *name = rig.page->powerRow()->nameLabel();
    const QStringList lines = name->linesAt(name->width());
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("<b>Hall</b>"))) << "markup is shown as characters";
    EXPECT_TRUE(lines[1].endsWith(QChar(0x2026)));
    EXPECT_TRUE(rig.page->powerRow()->roomLabel()->displayedText().endsWith(QChar(0x2026)));
    const QRect toggle = rig.page->powerRow()->powerToggle()->geometry();
    EXPECT_LE(toggle.right(), rig.page->powerRow()->width()) << "the switch stays on the row";
    // The spacing, a spacer of at least 8 and the spacing again between the names and the switch.
    EXPECT_GE(toggle.left() - (name->geometry().right() + 1), 24 + 8 + 24);
    EXPECT_EQ(rig.page->width(), LightDetailView::pageWidth);
}

// The space between a slider's track and the nearest widget on either side of it in its row.
std::pair<int, int> gapsBesideTrack(const controls::LightValueSlider &slider)
{
    const QRect track = slider.contentsRect().translated(slider.pos());
    int before = INT_MAX;
    int after = INT_MAX;
    for (const QWidget *sibling : slider.parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (sibling == &slider || !sibling->isVisible())
            continue;
        const QRect box = sibling->geometry();
        if (box.right() < track.left())
            before = std::min(before, track.left() - (box.right() + 1));
        if (box.left() > track.right())
            after = std::min(after, box.left() - (track.right() + 1));
    }
    return {before, after};
}

TEST(LightDetailView, SliderTracksStandSixteenFromWhatIsBesideThem)
{
    PageRig rig("2");
    rig.settle();
    const std::pair<int, int> sixteen{16, 16};
    EXPECT_EQ(gapsBesideTrack(*rig.page->brightnessContent()->slider()), sixteen) << "brightness";
    EXPECT_EQ(gapsBesideTrack(*rig.page->colourContent()->temperatureSlider()), sixteen) << "white temperature";
}

TEST(LightDetailView, TheWhitePresetHighlightCastsAFaintShadow)
{
    PageRig rig("2");
    rig.settle();
    controls::WhitePresetStrip *presets = rig.page->colourContent()->presets();
    QRect highlight;
    for (std::size_t index = 0; index < 4; ++index)
        highlight = presets->button(index)->isSelected() ? presets->button(index)->geometry() : highlight;
    ASSERT_FALSE(highlight.isNull());
    const QImage strip = paintedAlone(*presets);
    const int ground = qRed(strip.pixel(highlight.center().x(), strip.height() - 2));
    const int below = qRed(strip.pixel(highlight.center().x(), highlight.bottom() + 1));
    const int beyond = qRed(strip.pixel(highlight.center().x(), highlight.bottom() + 5));
    EXPECT_LE(below, ground - 4) << "black at 0.06 darkens the row under the highlight";
    EXPECT_GE(below, ground - 16) << "and only faintly";
    EXPECT_EQ(beyond, ground) << "a shadow of radius 1.5 reaches no further";
}

} // namespace
} // namespace vantora::testing
