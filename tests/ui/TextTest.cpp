#include "ui/Colours.h"
#include "ui/ElidedLabel.h"
#include "ui/EnvironmentKeys.h"
#include "ui/PlainToolTip.h"
#include "ui/TextLabel.h"

#include <QAccessible>
#include <QTextDocument>
#include <QWidget>

#include <gtest/gtest.h>

using namespace vantora::ui;

TEST(Text, DataIsShownAsWrittenNeverAsMarkup)
{
    const QString name = QStringLiteral("<b>Hall</b> & \"Stairs\"\nupstairs");
    QTextDocument document;
    document.setHtml(plainToolTip(name));
    EXPECT_EQ(document.toPlainText(), name);
    EXPECT_TRUE(plainToolTip(QString()).isEmpty());

    TextLabel label(name);
    EXPECT_EQ(label.textFormat(), Qt::PlainText);
    EXPECT_FALSE(label.openExternalLinks());
}

TEST(Text, ALabelFollowsTheSchemesColour)
{
    QWidget window;
    auto *label = new TextLabel(QStringLiteral("Kitchen"), &window);
    label->setForeground({colours::grey(0.16), colours::grey(0.94)});
    EXPECT_EQ(label->palette().color(QPalette::WindowText), colours::grey(0.16));
    Environment::scope(&window).set(colorSchemeKey, ColorScheme::Dark);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), colours::grey(0.94));
}

TEST(Text, AnElidedLabelKeepsTheWholeTextWithinReach)
{
    ElidedLabel label;
    label.setText(QStringLiteral("A rather long light name\nwith a second line"));
    label.resize(80, label.sizeHint().height());
    const QString shown = label.displayedText();
    EXPECT_TRUE(shown.endsWith(QChar(0x2026)));
    EXPECT_FALSE(shown.contains(u'\n'));
    EXPECT_LE(label.fontMetrics().horizontalAdvance(shown), 80);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&label)->text(QAccessible::Name), label.text());
    EXPECT_EQ(plainToolTipOf(label), label.text());

    label.resize(label.sizeHint());
    EXPECT_EQ(label.displayedText(), QStringLiteral("A rather long light name with a second line"));
}
