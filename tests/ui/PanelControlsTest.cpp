#include "ActiveWindow.h"
#include "ui/PanelButton.h"
#include "ui/PanelCheckBox.h"
#include "ui/PanelTextField.h"
#include "ui/SegmentedControl.h"

#include "ui/EnvironmentKeys.h"
#include "ui/SchemePalette.h"

#include "ui/PaintProbe.h"

#include <QAbstractButton>
#include <QApplication>
#include <QAccessible>
#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpressionValidator>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace vantora::ui;
using vantora::testing::activate;
using vantora::testing::colouredArea;

namespace {

// The colour on screen at `point` of `widget` (in its own coordinates), as a screenshot shows it.
QColor colourAt(QWidget *widget, QPoint point)
{
    const QImage shot = widget->window()->grab().toImage();
    const QPoint inWindow = widget->mapTo(widget->window(), point) * shot.devicePixelRatio();
    return shot.pixelColor(inWindow);
}

struct SchemeRow {
    const char *name;
    ColorScheme scheme;
    bool darkSurface;
};
const SchemeRow schemeRows[] = {{"light", ColorScheme::Light, false}, {"dark", ColorScheme::Dark, true}};

// Gives `window` the scheme's surface, on which the controls lie as on the panel, and a row
// for them.
QHBoxLayout *schemeSurface(QWidget &window, ColorScheme scheme)
{
    Environment::scope(&window).set(colorSchemeKey, scheme);
    window.setPalette(schemePalette(scheme));
    window.setAutoFillBackground(true);
    return new QHBoxLayout(&window);
}

TEST(PanelControls, TheSelectedSegmentButtonsAndFieldsStandOutInTheirScheme)
{
    for (const SchemeRow &row : schemeRows) {
        SCOPED_TRACE(row.name);
        QWidget window;
        QHBoxLayout *layout = schemeSurface(window, row.scheme);
        auto *picker = new SegmentedControl(QStringLiteral("Popover style"), SegmentedControl::LabelVisibility::hidden);
        int id = 0;
        for (const char *text : {"One", "Two", "Three"})
            picker->addSegment(QString::fromLatin1(text), id++);
        auto *plain = new PanelButton(QStringLiteral("Cancel"));
        auto *prominent = new PanelButton(QStringLiteral("Connect"));
        prominent->setDefault(true);
        layout->addWidget(picker);
        layout->addWidget(plain);
        layout->addWidget(prominent);
        auto *field = new PanelTextField;
        layout->addWidget(field);
        window.resize(560, 40);
        window.show();
        activate(window);

        QSignalSpy chosen(picker, &SegmentedControl::idClicked);
        QAbstractButton *second = picker->findChildren<QAbstractButton *>().at(1);
        QTest::mouseClick(second, Qt::LeftButton, {}, second->rect().center());
        ASSERT_EQ(chosen.count(), 1);
        EXPECT_EQ(chosen.at(0).at(0).toInt(), 1);
        EXPECT_EQ(picker->selected(), 1);

        // Beside the label, where only the segment's plate shows.
        const auto plateOf = [](QAbstractButton *segment) { return colourAt(segment, QPoint(4, segment->height() / 2)); };
        const QList<QAbstractButton *> segments = picker->findChildren<QAbstractButton *>();
        const QColor selected = plateOf(segments.at(1));
        for (const int other : {0, 2}) {
            const QColor unselected = plateOf(segments.at(other));
            EXPECT_GT(std::abs(selected.lightnessF() - unselected.lightnessF()), 0.08) << "the selection can be seen";
            EXPECT_EQ(unselected.lightnessF() < 0.5, row.darkSurface) << "the track sits on the scheme's surface";
        }
        const QColor buttonPlate = colourAt(plain, QPoint(6, plain->height() / 2));
        EXPECT_EQ(buttonPlate.lightnessF() < 0.5, row.darkSurface) << "a plain button follows the scheme";
        const QColor accentPlate = colourAt(prominent, QPoint(6, prominent->height() / 2));
        EXPECT_GT(accentPlate.hsvSaturationF(), 0.5) << "the default button is filled with the accent";

        EXPECT_EQ(picker->accessibleName(), QStringLiteral("Popover style"));

        const auto edgeOf = [](QWidget *widget) { return colourAt(widget, QPoint(1, widget->height() / 2)); };
        EXPECT_EQ(colourAt(field, QPoint(field->width() - 4, field->height() / 2)).lightnessF() < 0.5, row.darkSurface)
            << "a field's ground follows the scheme";
        EXPECT_LT(edgeOf(field).hsvSaturationF(), 0.3) << "a resting field has a neutral edge";
        QTest::mouseClick(field, Qt::LeftButton, {}, field->rect().center());
        ASSERT_TRUE(field->hasFocus());
        EXPECT_GT(edgeOf(field).hsvSaturationF(), 0.5) << "the field in use is outlined in the accent";
    }
}

TEST(PanelControls, ACheckBoxTicksByClickAndSpaceAndShowsTheAccentWhenOnInItsScheme)
{
    for (const SchemeRow &row : schemeRows) {
        SCOPED_TRACE(row.name);
        QWidget window;
        QHBoxLayout *layout = schemeSurface(window, row.scheme);
        auto *box = new PanelCheckBox(QStringLiteral("Try by scrolling"));
        layout->addWidget(box);
        layout->addStretch();
        window.resize(300, 40);
        window.show();
        activate(window);
        QSignalSpy toggled(box, &QAbstractButton::toggled);

        // Inside the box, clear of where the tick goes.
        const QPoint inBox(5, box->height() / 2 - 4);
        const QColor off = colourAt(box, inBox);
        EXPECT_EQ(off.lightnessF() < 0.5, row.darkSurface) << "an unticked box lies in the scheme";
        EXPECT_EQ(colouredArea(*box), 0) << "an unticked box shows no accent";
        // Along the label, the pixel that stands out most from the ground is the text's own colour.
        const QColor ground = colourAt(box, QPoint(box->width() - 1, 1));
        QColor text = ground;
        for (int x = 24; x < box->width(); ++x) {
            const QColor colour = colourAt(box, QPoint(x, box->height() / 2));
            if (std::abs(colour.lightnessF() - ground.lightnessF()) > std::abs(text.lightnessF() - ground.lightnessF()))
                text = colour;
        }
        EXPECT_EQ(text.lightnessF() > 0.5, row.darkSurface) << "the label reads in the scheme";

        // On the label, not the box: the whole face takes the click.
        const QPoint onLabel(box->width() - 6, box->height() / 2);
        QTest::mousePress(box, Qt::LeftButton, {}, onLabel);
        QTest::mouseRelease(box, Qt::LeftButton, {}, onLabel);
        EXPECT_TRUE(box->isChecked());
        EXPECT_EQ(toggled.count(), 1);
        EXPECT_GT(colourAt(box, inBox).hsvSaturationF(), 0.5) << "a ticked box is filled with the accent";

        QTest::mousePress(box, Qt::LeftButton, {}, onLabel);
        QTest::mouseRelease(box, Qt::LeftButton, {}, onLabel);
        EXPECT_FALSE(box->isChecked());
        EXPECT_EQ(colouredArea(*box), 0);

        // A window that becomes active hands focus over without a ring; Tab shows one.
        box->setFocus(Qt::ActiveWindowFocusReason);
        ASSERT_TRUE(box->hasFocus());
        EXPECT_EQ(colouredArea(*box), 0) << "no ring for focus the keyboard did not give";
        box->clearFocus();
        box->setFocus(Qt::TabFocusReason);
        EXPECT_GT(colouredArea(*box), 20) << "a ring for focus the keyboard gave";
        QTest::keyClick(box, Qt::Key_Space);
        EXPECT_TRUE(box->isChecked());
        EXPECT_EQ(toggled.count(), 3);
    }
}

} // namespace

TEST(PanelControls, APickerIsOneTabStopHoldingOneChoiceThatArrowsMoveAndReadsAsRadioButtons)
{
    const struct {
        const char *name;
        SegmentedControl::LabelVisibility visibility;
    } rows[] = {{"label hidden", SegmentedControl::LabelVisibility::hidden},
                {"label shown", SegmentedControl::LabelVisibility::shown}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        QWidget window;
        QHBoxLayout *layout = schemeSurface(window, ColorScheme::Light);
        auto *before = new PanelTextField;
        auto *picker = new SegmentedControl(QStringLiteral("Animation"), row.visibility);
        for (const char *text : {"One", "Two", "Three"})
            picker->addSegment(QString::fromLatin1(text), picker->findChildren<QAbstractButton *>().size());
        auto *after = new PanelButton(QStringLiteral("Replay"));
        layout->addWidget(before);
        layout->addWidget(picker);
        layout->addWidget(after);
        window.show();
        activate(window);

        const auto *shownLabel = picker->findChild<QLabel *>();
        EXPECT_EQ(shownLabel && shownLabel->isVisible() && shownLabel->text() == QStringLiteral("Animation"),
                  row.visibility == SegmentedControl::LabelVisibility::shown);

        before->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), picker) << "the whole picker is the next Tab stop";
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), after) << "and the only one";

        picker->setFocus(Qt::TabFocusReason);
        QSignalSpy chosen(picker, &SegmentedControl::idClicked);
        const struct {
            Qt::Key key;
            int selected;
        } presses[] = {{Qt::Key_Right, 1}, {Qt::Key_Right, 2}, {Qt::Key_Right, 2}, {Qt::Key_Left, 1},
                       {Qt::Key_Up, 0},    {Qt::Key_Up, 0},    {Qt::Key_Down, 1}};
        QList<int> expectedChoices;
        for (const auto &press : presses) {
            const int was = picker->selected();
            QTest::keyClick(picker, press.key);
            EXPECT_EQ(picker->selected(), press.selected);
            if (press.selected != was)
                expectedChoices.append(press.selected);
        }
        QList<int> choices;
        for (const QList<QVariant> &signal : chosen)
            choices.append(signal.at(0).toInt());
        EXPECT_EQ(choices, expectedChoices) << "each move is a choice; a move past either end is none";

        QAccessibleInterface *group = QAccessible::queryAccessibleInterface(picker);
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(group->text(QAccessible::Name), QStringLiteral("Animation"));
        ASSERT_EQ(group->childCount(), 3) << "the segments, and nothing else";
        for (int index = 0; index < group->childCount(); ++index) {
            SCOPED_TRACE(index);
            const QAccessibleInterface *segment = group->child(index);
            EXPECT_EQ(segment->role(), QAccessible::RadioButton);
            EXPECT_TRUE(segment->state().checkable);
            EXPECT_EQ(bool(segment->state().checked), index == 1);
        }
    }
}

TEST(PanelControls, AReaderReadsATypedFieldWholeAndEditsItAsTypingWould)
{
    QWidget window;
    QHBoxLayout *layout = schemeSurface(window, ColorScheme::Light);
    auto *field = new PanelTextField;
    field->setPlaceholderText(QStringLiteral("192.168.1.2"));
    layout->addWidget(field);
    window.resize(300, 40);
    window.show();
    activate(window);
    field->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(field, QStringLiteral("10.0.0.9"));

    QAccessibleInterface *element = QAccessible::queryAccessibleInterface(field);
    ASSERT_NE(element, nullptr);
    QAccessibleTextInterface *text = element->textInterface();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(element->role(), QAccessible::EditableText);
    EXPECT_EQ(element->text(QAccessible::Value), QStringLiteral("10.0.0.9"));
    EXPECT_EQ(element->text(QAccessible::Description), QStringLiteral("192.168.1.2"))
        << "a field described by nothing else is described by its example";
    EXPECT_EQ(text->cursorPosition(), 8);

    // A reader that reads by runs of one language reads as far as the runs reach.
    for (int offset = 0; offset <= text->characterCount(); ++offset) {
        SCOPED_TRACE(offset);
        int start = -1;
        int end = -1;
        text->attributes(offset, &start, &end);
        EXPECT_EQ(start, 0);
        EXPECT_EQ(end, 8);
    }

    // Where a reader finds each character on screen, and finds it again there.
    int previousRight = 0;
    for (int offset = 0; offset < text->characterCount(); ++offset) {
        SCOPED_TRACE(offset);
        const QRect character = text->characterRect(offset);
        EXPECT_TRUE(field->rect().contains(QRect(field->mapFromGlobal(character.topLeft()), character.size())));
        EXPECT_GE(character.left(), previousRight);
        previousRight = character.right();
        EXPECT_EQ(text->offsetAtPoint(character.topLeft() + QPoint(1, 1)), offset);
    }

    QSignalSpy changed(field, &QLineEdit::textChanged);
    QAccessibleEditableTextInterface *editing = element->editableTextInterface();
    ASSERT_NE(editing, nullptr);
    editing->replaceText(7, 8, QStringLiteral("20"));
    EXPECT_EQ(field->text(), QStringLiteral("10.0.0.20"));
    EXPECT_EQ(field->cursorPosition(), 9);
    EXPECT_EQ(changed.count(), 1) << "the sheet hears of an edit by a reader as of one typed";

    // What the field's own keys refuse, an edit by a reader is refused too.
    QRegularExpressionValidator digitsAndDots(QRegularExpression(QStringLiteral("[0-9.]*")));
    field->setValidator(&digitsAndDots);
    editing->insertText(0, QStringLiteral("x"));
    element->setText(QAccessible::Value, QStringLiteral("bridge"));
    EXPECT_EQ(field->text(), QStringLiteral("10.0.0.20"));
    field->setValidator(nullptr);
}

TEST(PanelControls, AFieldReachedByKeysSelectsItsTextOnceTheFocusHasBeenTold)
{
    QWidget window;
    QHBoxLayout *layout = schemeSurface(window, ColorScheme::Light);
    auto *before = new PanelButton(QStringLiteral("Cancel"));
    auto *field = new PanelTextField;
    field->setText(QStringLiteral("10.0.0.9"));
    layout->addWidget(before);
    layout->addWidget(field);
    window.show();
    activate(window);
    before->setFocus(Qt::OtherFocusReason);

    // Qt tells readers of the focus as the focus change ends: a selection made while it runs
    // reaches a reader before the focus, and is read out twice.
    QSignalSpy selected(field, &QLineEdit::selectionChanged);
    QTest::keyClick(before, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), field);
    EXPECT_EQ(selected.count(), 0) << "selected while the focus moved";
    QCoreApplication::processEvents();
    EXPECT_EQ(field->selectedText(), QStringLiteral("10.0.0.9")) << "what is typed next replaces the text";
}
