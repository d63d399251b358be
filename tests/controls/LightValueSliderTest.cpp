#include "ActiveWindow.h"
#include "HeardAnnouncements.h"
#include "SpokenValue.h"
#include "ui/UiHarness.h"

#include "controls/LightValueSlider.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace vantora::controls {
namespace {

using testing::UiHarness;
using vantora::testing::activate;
using vantora::testing::HeardAnnouncements;
using vantora::testing::spokenValue;

// A 200-wide full slider over 0 … 100 inside the harness window; its track runs from
// x = 3 + 15 to x = 3 + 185 in widget coordinates (3 is the focus-ring margin).
struct SliderBench {
    UiHarness ui;
    LightValueSlider *slider = new LightValueSlider(SliderSize::Full, SliderOrientation::Horizontal, &ui.window);
    QSignalSpy edits{slider, &LightValueSlider::valueEdited};
    QSignalSpy editing{slider, &LightValueSlider::editingChanged};

    SliderBench()
    {
        slider->setGeometry(0, 0, 206, 38);
        slider->setRange({0, 100});
        slider->setValue(50);
        ui.window.show();
        activate(ui.window);
    }

    QPoint at(double x) const { return QPoint(qRound(x), 19); }
    std::vector<bool> editingCalls() const
    {
        std::vector<bool> calls;
        for (const auto &call : editing)
            calls.push_back(call.at(0).toBool());
        return calls;
    }
};

// Where a value reaches readers as its text alone: from Qt 6.8 on every value, before it any
// value that is no percentage.
bool readsAsTextOnly(ValueRange range)
{
    return QT_VERSION >= QT_VERSION_CHECK(6, 8, 0) || range.upper > 100;
}

bool sendKey(QWidget *widget, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    return press.isAccepted();
}

TEST(LightValueSliderTest, AClickSetsTheValueWhereItLandsAndIsOneEdit)
{
    struct Row {
        const char *name;
        double x;
        double value;
    };
    const Row rows[] = {
        {"before the leading inset", 10, 0},
        {"at the leading inset", 18, 0},
        {"middle", 103, 50},
        {"at the trailing inset", 188, 100},
        {"beyond the end", 205, 100},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        SliderBench bench;
        QTest::mouseClick(bench.slider, Qt::LeftButton, {}, bench.at(row.x));
        ASSERT_EQ(bench.edits.size(), 1);
        EXPECT_NEAR(bench.edits.at(0).at(0).toDouble(), row.value, 1e-9);
        EXPECT_NEAR(bench.slider->value(), row.value, 1e-9);
        EXPECT_EQ(bench.editingCalls(), (std::vector<bool>{true, false}));
    }
}

TEST(LightValueSliderTest, LosingTheSliderMidDragEndsTheEditOnceAndTheReleaseCallsNothing)
{
    const std::function<void(LightValueSlider *)> interruptions[] = {
        [](LightValueSlider *slider) { slider->setEnabled(false); },
        [](LightValueSlider *slider) { slider->hide(); },
    };
    for (const auto &interrupt : interruptions) {
        SliderBench bench;
        QTest::mousePress(bench.slider, Qt::LeftButton, {}, bench.at(60));
        QTest::mouseMove(bench.slider, bench.at(80));
        interrupt(bench.slider);
        EXPECT_EQ(bench.editingCalls(), (std::vector<bool>{true, false}));
        EXPECT_FALSE(bench.slider->isDragging());
        QTest::mouseRelease(bench.slider, Qt::LeftButton, {}, bench.at(80));
        EXPECT_EQ(bench.editingCalls(), (std::vector<bool>{true, false}));
    }
}

TEST(LightValueSliderTest, KeysStepAHundredthAPageOrToABoundAndNeverReportEditing)
{
    struct Row {
        const char *name;
        ValueRange range;
        double from;
        std::vector<int> keys;
        double value;
        double accessibleValue;
    };
    const Row rows[] = {
        {"right, left, left in kelvin", {2000, 6500}, 4000, {Qt::Key_Right, Qt::Key_Left, Qt::Key_Left}, 3955, 3955},
        {"up and down as right and left", {0, 100}, 72, {Qt::Key_Up, Qt::Key_Up, Qt::Key_Down}, 73, 73},
        {"page up twice", {0, 100}, 72, {Qt::Key_PageUp, Qt::Key_PageUp}, 92, 92},
        {"page up stops at the top", {0, 100}, 95, {Qt::Key_PageUp}, 100, 100},
        {"page down in kelvin", {2000, 6500}, 4000, {Qt::Key_PageDown}, 3550, 3550},
        {"home", {1, 100}, 72, {Qt::Key_Home}, 1, 1},
        {"end, from 1 % to 100 % in one press", {1, 100}, 1, {Qt::Key_End}, 100, 100},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        SliderBench bench;
        bench.slider->setRange(row.range);
        bench.slider->setValue(row.from);
        for (const int key : row.keys)
            EXPECT_TRUE(sendKey(bench.slider, key));
        EXPECT_DOUBLE_EQ(bench.slider->value(), row.value);
        QAccessibleInterface *element = QAccessible::queryAccessibleInterface(bench.slider);
        if (readsAsTextOnly(row.range))
            EXPECT_EQ(element->valueInterface(), nullptr);
        else
            EXPECT_DOUBLE_EQ(element->valueInterface()->currentValue().toDouble(), row.accessibleValue);
        EXPECT_EQ(bench.edits.size(), qsizetype(row.keys.size()));
        EXPECT_TRUE(bench.editing.isEmpty());
    }
    LightValueSlider upright(SliderSize::Compact, SliderOrientation::Vertical);
    upright.setRange({0, 100});
    EXPECT_FALSE(sendKey(&upright, Qt::Key_Up)) << "an upright slider's holder steps it by up and down";
    EXPECT_FALSE(sendKey(&upright, Qt::Key_Tab));
}

TEST(LightValueSliderTest, ADisabledSliderTakesNoInputAndPassesKeysOn)
{
    SliderBench bench;
    bench.slider->setEnabled(false);
    QTest::mouseClick(bench.slider, Qt::LeftButton, {}, bench.at(150));
    EXPECT_FALSE(sendKey(bench.slider, Qt::Key_Right));
    bench.slider->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(bench.slider->hasFocus());
    EXPECT_DOUBLE_EQ(bench.slider->value(), 50);
    EXPECT_TRUE(bench.edits.isEmpty());
    EXPECT_TRUE(bench.editing.isEmpty());
}

TEST(LightValueSliderTest, TheFocusRingShowsForKeyboardFocusAndHidesWhileThePointerIsUsed)
{
    SliderBench bench;
    bench.slider->setFocus(Qt::MouseFocusReason);
    EXPECT_FALSE(bench.slider->showsFocusRing()) << "a click focuses without a ring";
    bench.slider->clearFocus();
    bench.slider->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(bench.slider->showsFocusRing());
    QTest::mousePress(bench.slider, Qt::LeftButton, {}, bench.at(60));
    EXPECT_FALSE(bench.slider->showsFocusRing());
    QTest::mouseRelease(bench.slider, Qt::LeftButton, {}, bench.at(60));
    sendKey(bench.slider, Qt::Key_Right);
    EXPECT_TRUE(bench.slider->showsFocusRing());
}

TEST(LightValueSliderTest, AssistiveTechnologiesSeeAPlainSliderWhoseWritesNeedItEnabled)
{
    SliderBench bench;
    bench.slider->setRange({5, 100});
    bench.slider->setLabel(QStringLiteral("Brightness"));
    bench.slider->setValueLabel(QStringLiteral("50 percent"));
    QAccessibleInterface *element = QAccessible::queryAccessibleInterface(bench.slider);
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->role(), QAccessible::Slider);
    EXPECT_EQ(element->text(QAccessible::Name), QStringLiteral("Brightness"));
    EXPECT_EQ(element->text(QAccessible::Value), QStringLiteral("50 percent"));
    QAccessibleValueInterface *value = element->valueInterface();
    if (readsAsTextOnly({5, 100}))
        GTEST_SKIP() << "no number to write: the value reaches readers as its text alone";
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->minimumValue().toDouble(), 5);
    EXPECT_EQ(value->maximumValue().toDouble(), 100);
    value->setCurrentValue(150.0);
    EXPECT_DOUBLE_EQ(bench.slider->value(), 100) << "a write stays inside the bounds it was told";
    value->setCurrentValue(1.0);
    EXPECT_DOUBLE_EQ(bench.slider->value(), 5);
    value->setCurrentValue(70.0);
    EXPECT_DOUBLE_EQ(bench.slider->value(), 70);
    bench.slider->setEnabled(false);
    value->setCurrentValue(20.0);
    EXPECT_DOUBLE_EQ(bench.slider->value(), 70);
    EXPECT_TRUE(element->state().disabled);
    EXPECT_EQ(bench.edits.size(), 3);
    EXPECT_EQ(bench.edits.front().at(0).toDouble(), 100);
    EXPECT_TRUE(bench.editing.isEmpty());
}

// What a reader gets of a value, with the focus and after a key: before Qt 6.8 a percentage as
// its number, which readers say alone; any other value, and from 6.8 on every value, as its text
// alone, read out after each key, as readers that can count a value say its place in the range
// beside its text ("72 percent 72 percent").
TEST(LightValueSliderTest, AReaderGetsAValueAsItsNumberOrAsItsTextAlone)
{
    struct Row {
        const char *name;
        ValueRange range;
        double value;
        const char *text;
        bool numberBeforeQt68;
    };
    const Row rows[] = {
        {"brightness", {1, 100}, 72, "72 percent", true},
        {"white temperature", {2000, 6500}, 2700, "2700 kelvin", false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        SliderBench bench;
        bench.slider->setRange(row.range);
        bench.slider->setValue(row.value);
        bench.slider->setValueLabel(QString::fromUtf8(row.text));
        QObject::connect(bench.slider, &LightValueSlider::valueEdited, bench.slider,
                         [&bench](double value) { bench.slider->setValueLabel(QString::number(value)); });
        QAccessibleInterface *element = QAccessible::queryAccessibleInterface(bench.slider);
        const bool asNumber = row.numberBeforeQt68 && QT_VERSION < QT_VERSION_CHECK(6, 8, 0);
        EXPECT_EQ(element->valueInterface() != nullptr, asNumber);
        EXPECT_EQ(spokenValue(element), asNumber ? QString() : QString::fromUtf8(row.text));
        if (asNumber) {
            EXPECT_EQ(element->valueInterface()->currentValue().toDouble(), row.value);
        }

        HeardAnnouncements heard;
        sendKey(bench.slider, Qt::Key_Right);
        QCoreApplication::processEvents();
        const QString stepped = QString::number(bench.slider->value());
        EXPECT_EQ(heard.texts, asNumber ? QStringList() : QStringList{stepped});
    }
}

// What a reader says is what the screen shows: the readout's rounding, not the raw value.
TEST(LightValueSliderTest, AssistiveTechnologiesReadTheValueAsTheScreenRoundsIt)
{
    struct Row {
        const char *name;
        double step;
        ValueRange range;
        double value;
        double shown;
        double lower;
        double upper;
    };
    const Row rows[] = {
        {"brightness", 1, {1, 100}, 49.98, 50, 1, 100},
        {"white temperature", 50, {2000, 6535.95}, 2702.7, 2700, 2000, 6550},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        SliderBench bench;
        bench.slider->setAccessibleStep(row.step);
        bench.slider->setRange(row.range);
        bench.slider->setValue(row.value);
        QAccessibleValueInterface *value = QAccessible::queryAccessibleInterface(bench.slider)->valueInterface();
        if (readsAsTextOnly(row.range)) {
            EXPECT_EQ(value, nullptr);
            continue;
        }
        EXPECT_EQ(value->currentValue().toDouble(), row.shown);
        EXPECT_EQ(value->minimumValue().toDouble(), row.lower);
        EXPECT_EQ(value->maximumValue().toDouble(), row.upper);
    }
}

TEST(LightValueSliderTest, AVerticalSliderGrowsUpwards)
{
    UiHarness ui;
    LightValueSlider slider(SliderSize::Compact, SliderOrientation::Vertical, &ui.window);
    slider.setGeometry(0, 0, 32, 122);
    slider.setRange({0, 100});
    ui.window.show();
    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(16, 3 + 9));
    EXPECT_DOUBLE_EQ(slider.value(), 100);
    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(16, 61));
    EXPECT_DOUBLE_EQ(slider.value(), 50);
}

} // namespace
} // namespace vantora::controls
