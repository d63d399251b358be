#include "ui/UiHarness.h"

#include "controls/RoomBrightnessPreview.h"
#include "controls/RoomBrightnessSlider.h"

#include "store/HalvetStore.h"
#include "ui/EnvironmentKeys.h"
#include "ui/PaintProbe.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

namespace vantora::controls {
namespace {

// Stands in for the lights panel: records the style it was built under.
struct PanelLog {
    std::vector<RoomBrightnessStyle> built;

    RoomBrightnessPreview::PanelFactory factory()
    {
        return [this](HalvetStore &, QWidget *parent) {
            auto *panel = new QWidget(parent);
            built.push_back(roomBrightnessStyle(panel));
            return panel;
        };
    }
};

struct PreviewBench {
    testing::UiHarness ui;
    PanelLog panels;
    RoomBrightnessPreview *preview = new RoomBrightnessPreview(
        RoomBrightnessPreview::makeDemoStore(nullptr, ui.tasks.clock, ui.tasks.executor), panels.factory(), &ui.window);
};

TEST(RoomBrightnessPreviewTest, ItOpensOnTheEdgeStyleInTheLightScheme)
{
    PreviewBench bench;
    EXPECT_EQ(bench.preview->captionText(),
              QStringLiteral("32 \u00d7 144 pt \u00b7 two light rows tall \u00b7 Click a sun to try it."));
    EXPECT_EQ(ui::colorScheme(bench.preview), ui::ColorScheme::Light);
    EXPECT_EQ(bench.panels.built, std::vector<RoomBrightnessStyle>{RoomBrightnessStyle::edge});
    EXPECT_TRUE(bench.preview->store().isDemo());
    EXPECT_EQ(bench.preview->store().snapshot().lights.size(), 15u);
}

TEST(RoomBrightnessPreviewTest, PickingAStyleRebuildsOnlyThePanelAndTheStoreKeepsItsChanges)
{
    PreviewBench bench;
    HalvetStore &store = bench.preview->store();
    const HueLight light = store.snapshot().lights.front();
    store.apply({.brightness = 12}, light);
    bench.ui.runUntilIdle();
    const QPointer<QWidget> first = bench.preview->panel();

    const auto buttons = bench.preview->findChildren<QAbstractButton *>();
    const auto vertical = std::find_if(buttons.begin(), buttons.end(),
                                       [](QAbstractButton *button) { return button->text() == "Vertical"; });
    ASSERT_NE(vertical, buttons.end());
    EXPECT_EQ(QAccessible::queryAccessibleInterface((*vertical)->parentWidget())->text(QAccessible::Name),
              QStringLiteral("Popover style"))
        << "the picker is named for assistive technologies";
    QTest::mouseClick(*vertical, Qt::LeftButton, {}, (*vertical)->rect().center());
    EXPECT_TRUE((*vertical)->isChecked());

    EXPECT_EQ(bench.preview->captionText(),
              QStringLiteral("46 \u00d7 136 pt \u00b7 a narrow upright control \u00b7 Click a sun to try it."));
    EXPECT_TRUE(first.isNull()) << "the old panel is gone";
    EXPECT_EQ(bench.panels.built,
              (std::vector<RoomBrightnessStyle>{RoomBrightnessStyle::edge, RoomBrightnessStyle::vertical}));
    EXPECT_EQ(&bench.preview->store(), &store);
    EXPECT_EQ(store.snapshot().lights.front().brightness, 12);
}

TEST(RoomBrightnessPreviewTest, ThePickersSelectionStandsOutInBothSchemes)
{
    PreviewBench bench;
    bench.ui.window.resize(bench.preview->sizeHint());
    bench.preview->resize(bench.preview->sizeHint());
    const auto buttons = bench.preview->findChildren<QAbstractButton *>();
    const auto segmentNamed = [&](const QString &text) {
        const auto found = std::find_if(buttons.begin(), buttons.end(),
                                        [&](QAbstractButton *button) { return button->text() == text; });
        return found == buttons.end() ? nullptr : *found;
    };
    const QList<QAbstractButton *> segments{segmentNamed("Room edge"), segmentNamed("Slim"), segmentNamed("Vertical"),
                                            segmentNamed("With value")};
    ASSERT_FALSE(segments.contains(nullptr));
    for (const bool dark : {false, true}) {
        SCOPED_TRACE(dark ? "dark" : "light");
        bench.preview->setDark(dark);
        // Beside each label, where only the segment's own ground shows.
        const QImage shot = bench.preview->grab().toImage();
        const auto groundOf = [&](QAbstractButton *segment) {
            const QPoint beside = segment->mapTo(bench.preview, QPoint(4, segment->height() / 2));
            return shot.pixelColor(beside * shot.devicePixelRatio());
        };
        const QColor selected = groundOf(segments[0]);
        for (int other = 1; other < segments.size(); ++other) {
            const QColor ground = groundOf(segments[other]);
            EXPECT_GT(std::abs(selected.lightnessF() - ground.lightnessF()), 0.08) << "the selection can be seen";
            EXPECT_EQ(ground.lightnessF() < 0.5, dark) << "the picker sits in the window's scheme";
        }
    }
}

TEST(RoomBrightnessPreviewTest, TheDarkSwitchChangesTheSchemeOfTheWindowsContent)
{
    PreviewBench bench;
    bench.preview->resize(bench.preview->sizeHint());
    bench.ui.window.resize(bench.preview->size());
    bench.ui.window.show();
    const auto boxes = bench.preview->findChildren<QCheckBox *>();
    ASSERT_EQ(boxes.size(), 1);
    QCheckBox *dark = boxes.front();
    EXPECT_EQ(dark->text(), QStringLiteral("Dark"));
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(dark);
    EXPECT_EQ(accessible->role(), QAccessible::CheckBox);
    EXPECT_EQ(testing::colouredArea(*dark), 0);

    const auto press = [&] {
        QTest::mousePress(dark, Qt::LeftButton, {}, dark->rect().center());
        QTest::mouseRelease(dark, Qt::LeftButton, {}, dark->rect().center());
    };
    press();
    EXPECT_TRUE(bench.preview->isDark());
    EXPECT_EQ(ui::colorScheme(bench.preview->panel()), ui::ColorScheme::Dark);
    EXPECT_TRUE(accessible->state().checked);
    EXPECT_GT(testing::colouredArea(*dark), 60) << "the ticked box is filled with the accent on the dark window";

    press();
    EXPECT_FALSE(bench.preview->isDark());
    EXPECT_EQ(ui::colorScheme(bench.preview->panel()), ui::ColorScheme::Light);
    EXPECT_FALSE(accessible->state().checked);

    bench.preview->setDark(true);
    EXPECT_TRUE(dark->isChecked()) << "the box shows a scheme set from elsewhere";
    EXPECT_TRUE(RoomBrightnessPreview::isRequested({QStringLiteral("vantora"), QStringLiteral("--brightness-preview")}));
    EXPECT_FALSE(RoomBrightnessPreview::isRequested({QStringLiteral("vantora")}));
}

} // namespace
} // namespace vantora::controls
