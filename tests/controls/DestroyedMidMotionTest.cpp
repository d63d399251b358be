#include "ui/UiHarness.h"

#include "controls/ColourSpectrum.h"
#include "controls/ControlCard.h"
#include "controls/HomePowerButton.h"
#include "controls/LightDetailModel.h"
#include "controls/LightToggle.h"
#include "controls/LightValueSlider.h"
#include "controls/RoomActionButton.h"
#include "controls/RoomBrightnessButton.h"
#include "controls/RoomEdgeSlider.h"
#include "controls/WhitePresetStrip.h"

#include "ui/Colours.h"
#include "ui/FrameClock.h"
#include "ui/KeyedColumn.h"
#include "ui/LightsActionButton.h"
#include "ui/ScrollArea.h"
#include "ui/Spinner.h"
#include "ui/Transaction.h"
#include "ui/Transition.h"

#include <QAbstractButton>
#include <QLabel>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>

namespace vantora::controls {
namespace {

using namespace std::chrono_literals;
using testing::UiHarness;

// A row of a keyed column: a plain block of fixed height.
class Block final : public QWidget {
public:
    struct Fields {};
    explicit Block(QWidget *parent) : QWidget(parent) { setFixedHeight(40); }
    void apply(const Fields &) {}
};

// Puts `widget` on a page that is on screen, in its place.
void place(QWidget *page, QWidget *widget)
{
    page->layout()->addWidget(widget);
    widget->show();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

void pressAndRelease(QWidget *widget)
{
    QTest::mousePress(widget, Qt::LeftButton);
    QTest::mouseRelease(widget, Qt::LeftButton);
}

// A light whose page takes edits: on, reachable, with colour and white temperature.
LightDetailInputs editableLight()
{
    return {.light = HueLight{.id = QStringLiteral("1"), .name = QStringLiteral("Lamp"), .isOn = true,
                              .isReachable = true, .brightness = 50, .temperature = 370,
                              .temperatureRange = MirekRange{153, 500}}};
}

// Every animated widget, destroyed with the page it sits on while it moves and while the
// pointer is over it (as a click on a page's own back button destroys that page). QWidget's
// destructor still sends the widget a leave then, when its own class is gone; no frame may
// reach it afterwards.
TEST(DestroyedMidMotion, AnAnimatedWidgetGoesWithItsPageWithoutAnotherFrame)
{
    struct Row {
        const char *name;
        // Puts the widget on `page` and sets it moving; answers where the pointer rests.
        std::function<QWidget *(QWidget *page)> setMoving;
    };
    LightDetailModel model(editableLight(), [](const LightChange &) {});
    model.appear();
    const Row rows[] = {
        {"hovered action button",
         [](QWidget *page) {
             auto *button = new ui::LightsActionButton(QStringLiteral("All lights"),
                                                      ui::LightsActionButtonStyle{ui::colours::grey255(245)}, page);
             place(page, button);
             QTest::mouseMove(button);
             return button;
         }},
        {"scrolling area",
         [](QWidget *page) {
             auto *area = new ui::ScrollArea(page);
             auto *content = new QWidget;
             content->setFixedSize(200, 2000);
             area->setWidget(content);
             place(page, area);
             area->animateTo(600, ui::Animation::easeInOut(0.3));
             return area;
         }},
        {"reordered keyed column",
         [](QWidget *page) {
             auto *column = new ui::KeyedColumn<Block>(page);
             place(page, column);
             column->apply({{QStringLiteral("a"), {}}, {QStringLiteral("b"), {}}});
             QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
             ui::withAnimation(ui::Animation::easeInOut(0.3), [&] {
                 column->apply({{QStringLiteral("b"), {}}, {QStringLiteral("a"), {}}});
             });
             return column;
         }},
        {"turning spinner",
         [](QWidget *page) {
             auto *spinner = new ui::Spinner(page);
             place(page, spinner);
             return spinner;
         }},
        {"arriving widget",
         [](QWidget *page) {
             auto *arriving = new QLabel(QStringLiteral("Bedroom"), page);
             place(page, arriving);
             arriving->hide();
             ui::transitionIn(arriving, ui::Transition::slide(QPointF(12, 0)), ui::Animation::easeInOut(0.3));
             return arriving;
         }},
        {"pressed brightness slider",
         [](QWidget *page) {
             auto *slider = new LightValueSlider(SliderSize::Full, SliderOrientation::Horizontal, page);
             place(page, slider);
             QTest::mouseMove(slider);
             QTest::mousePress(slider, Qt::LeftButton);
             return slider;
         }},
        {"pressed colour field",
         [](QWidget *page) {
             auto *spectrum = new ColourSpectrum(page);
             place(page, spectrum);
             QTest::mouseMove(spectrum);
             QTest::mousePress(spectrum, Qt::LeftButton);
             return spectrum;
         }},
        {"card being locked",
         [](QWidget *page) {
             auto *card = new ControlCard(page);
             card->setMinimumSize(200, 80);
             place(page, card);
             card->setLocked(true);
             return card;
         }},
        {"white preset picked",
         [&model](QWidget *page) {
             auto *strip = new WhitePresetStrip(model, page);
             place(page, strip);
             auto *coolest = strip->findChildren<QAbstractButton *>().back();
             QTest::mouseMove(coolest);
             pressAndRelease(coolest);
             return coolest;
         }},
        {"hovered room brightness button",
         [](QWidget *page) {
             auto *button = new RoomBrightnessButton(page);
             place(page, button);
             QTest::mouseMove(button);
             return button;
         }},
        {"hovered all-off button",
         [](QWidget *page) {
             auto *button = new HomePowerButton(HomePower::TurnOff, page);
             place(page, button);
             QTest::mouseMove(button);
             return button;
         }},
        {"hovered room power button",
         [](QWidget *page) {
             auto *button = new RoomActionButton(RoomActionButton::Kind::Power, page);
             place(page, button);
             QTest::mouseMove(button);
             return button;
         }},
        {"hovered room edge slider",
         [](QWidget *page) {
             auto *slider = new RoomEdgeSlider(nullptr, page);
             place(page, slider);
             QTest::mouseMove(slider->track());
             return slider->track();
         }},
        {"switched toggle",
         [](QWidget *page) {
             auto *toggle = new LightToggle(page);
             place(page, toggle);
             QObject::connect(toggle, &LightToggle::flipRequested, toggle, &LightToggle::setOn);
             QTest::mouseMove(toggle);
             pressAndRelease(toggle);
             return toggle;
         }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        UiHarness ui;
        auto *page = new QWidget(&ui.window);
        page->resize(ui.window.size());
        new QVBoxLayout(page);
        ui.window.show();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const ui::FrameClock &frames = ui::FrameClock::of(&ui.window);

        QWidget *pointed = row.setMoving(page);
        QTest::mouseMove(pointed);
        ui.runUntilIdle();
        ASSERT_TRUE(frames.isRunning()) << "moving when its page goes";

        delete page;
        ui.advance(1s);
        EXPECT_FALSE(frames.isRunning()) << "no frames left for a widget that is gone";
        // The next row starts with no button held.
        QTest::mouseRelease(&ui.window, Qt::LeftButton);
    }
}

} // namespace
} // namespace vantora::controls
