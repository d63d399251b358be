#include "ActiveWindow.h"
#include "SpokenValue.h"
#include "ui/UiHarness.h"

#include "controls/ColourSpectrum.h"
#include "controls/SpectrumGeometry.h"

#include "ui/Accessibility.h"

#include <QAccessible>
#include <QHash>
#include <QApplication>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace vantora::controls {
namespace {

using testing::UiHarness;
using vantora::testing::activate;
using vantora::testing::spokenValue;

// A field of 224 x 88 inside a 3-pixel ring margin: its usable area is 200 x 64 from (15, 15).
struct SpectrumBench {
    UiHarness ui;
    ColourSpectrum *spectrum = new ColourSpectrum(&ui.window);
    QSignalSpy edits{spectrum, &ColourSpectrum::edited};
    QSignalSpy editing{spectrum, &ColourSpectrum::editingChanged};

    SpectrumBench()
    {
        spectrum->setGeometry(0, 0, 230, 94);
        spectrum->setColour(0.5, 0.5);
        ui.window.show();
        activate(ui.window);
    }
};

bool sendKey(QWidget *widget, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    return press.isAccepted();
}

TEST(ColourSpectrumTest, ADragWritesEveryStepBetweenOneEditingPair)
{
    SpectrumBench bench;
    QTest::mousePress(bench.spectrum, Qt::LeftButton, {}, QPoint(115, 47));
    QTest::mouseMove(bench.spectrum, QPoint(400, 0));
    QTest::mouseMove(bench.spectrum, QPoint(400, 0));
    QTest::mouseRelease(bench.spectrum, Qt::LeftButton, {}, QPoint(400, 0));
    EXPECT_DOUBLE_EQ(bench.spectrum->hue(), 0.9999);
    EXPECT_DOUBLE_EQ(bench.spectrum->saturation(), 1);
    EXPECT_EQ(bench.edits.size(), 3) << "a step that moves nothing still reports";
    ASSERT_EQ(bench.editing.size(), 2);
    EXPECT_TRUE(bench.editing.at(0).at(0).toBool());
    EXPECT_FALSE(bench.editing.at(1).at(0).toBool());
}

TEST(ColourSpectrumTest, KeysAndAssistiveActionsReportEvenAtTheLimitsWithoutEditing)
{
    SpectrumBench bench;
    bench.spectrum->setColour(0.9999, 1);
    EXPECT_TRUE(sendKey(bench.spectrum, Qt::Key_Right));
    EXPECT_TRUE(sendKey(bench.spectrum, Qt::Key_Up));
    EXPECT_DOUBLE_EQ(bench.spectrum->hue(), 0.9999);
    EXPECT_TRUE(sendKey(bench.spectrum, Qt::Key_PageUp));
    EXPECT_NEAR(bench.spectrum->hue(), 0.0249, 1e-9) << "the assistive step goes round";

    QAccessibleInterface *element = QAccessible::queryAccessibleInterface(bench.spectrum);
    ASSERT_NE(element, nullptr);
    ASSERT_NE(element->actionInterface(), nullptr);
    element->actionInterface()->doAction(ColourSpectrum::lessSaturatedAction());
    EXPECT_NEAR(bench.spectrum->saturation(), 0.9, 1e-12);
    EXPECT_EQ(element->text(QAccessible::Name), QStringLiteral("Colour spectrum"));
    EXPECT_EQ(element->text(QAccessible::Value), QStringLiteral("Hue 8 degrees, saturation 90 percent"));
    EXPECT_EQ(bench.edits.size(), 4);
    EXPECT_TRUE(bench.editing.isEmpty());
}

// A reader gets the colour as the text that names both axes, never as a number of one: with
// the focus, and read out once by each key that moves it.
TEST(ColourSpectrumTest, KeysReadTheNewColourOutOnceAsTheTextThatNamesBothAxes)
{
    struct Row {
        const char *name;
        std::vector<int> keys;
        double hue;
        double saturation;
        int told;
    };
    const Row rows[] = {
        {"home", {Qt::Key_Home}, 0, 0.7, 1},
        {"end", {Qt::Key_End}, 0.9999, 0.7, 1},
        {"up", {Qt::Key_Up}, 0.5, 0.75, 1},
        {"down twice", {Qt::Key_Down, Qt::Key_Down}, 0.5, 0.6, 2},
        {"up, then right", {Qt::Key_Up, Qt::Key_Right}, 0.51, 0.75, 2},
        {"right at the end", {Qt::Key_End, Qt::Key_Right}, 0.9999, 0.7, 1},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        SpectrumBench bench;
        bench.spectrum->setColour(0.5, 0.7);
        QStringList told;
        const ui::a11y::AnnouncementSink previous =
            ui::a11y::setAnnouncementSink([&told](const ui::a11y::Announcement &news) { told.append(news.text); });
        for (const int key : row.keys)
            EXPECT_TRUE(sendKey(bench.spectrum, key));
        ui::a11y::setAnnouncementSink(previous);
        EXPECT_NEAR(bench.spectrum->hue(), row.hue, 1e-9);
        EXPECT_NEAR(bench.spectrum->saturation(), row.saturation, 1e-9);
        QAccessibleInterface *element = QAccessible::queryAccessibleInterface(bench.spectrum);
        EXPECT_EQ(element->valueInterface(), nullptr) << "a number a reader would say beside the text";
        const QString text = spectrumGeometry::valueText(row.hue, row.saturation);
        EXPECT_EQ(spokenValue(element), text);
        ASSERT_EQ(told.size(), row.told) << told.join(QStringLiteral(" | ")).toStdString();
        EXPECT_EQ(told.back(), text);
        EXPECT_EQ(bench.edits.size(), qsizetype(row.keys.size()));
    }
}

TEST(ColourSpectrumTest, ADisabledFieldChangesNothingAndPassesKeysOn)
{
    SpectrumBench bench;
    bench.spectrum->setEnabled(false);
    QTest::mouseClick(bench.spectrum, Qt::LeftButton, {}, QPoint(40, 40));
    for (const int key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp})
        EXPECT_FALSE(sendKey(bench.spectrum, key));
    QAccessibleInterface *element = QAccessible::queryAccessibleInterface(bench.spectrum);
    EXPECT_TRUE(element->actionInterface()->actionNames().isEmpty());
    element->actionInterface()->doAction(QAccessibleActionInterface::increaseAction());
    EXPECT_DOUBLE_EQ(bench.spectrum->hue(), 0.5);
    EXPECT_DOUBLE_EQ(bench.spectrum->saturation(), 0.5);
    EXPECT_TRUE(bench.edits.isEmpty());
    EXPECT_TRUE(bench.editing.isEmpty());
}

TEST(ColourSpectrumTest, DisablingMidDragEndsTheEditOnce)
{
    SpectrumBench bench;
    QTest::mousePress(bench.spectrum, Qt::LeftButton, {}, QPoint(40, 40));
    bench.spectrum->setEnabled(false);
    QTest::mouseRelease(bench.spectrum, Qt::LeftButton, {}, QPoint(40, 40));
    ASSERT_EQ(bench.editing.size(), 2);
    EXPECT_FALSE(bench.editing.at(1).at(0).toBool());
}

} // namespace
} // namespace vantora::controls
