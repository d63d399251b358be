#include "ui/Colours.h"
#include "ui/ElidedLabel.h"
#include "ui/MessageText.h"
#include "ui/EnvironmentKeys.h"
#include "ui/PlainToolTip.h"
#include "ui/TextLabel.h"

#include <QAccessible>
#include <QFontInfo>
#include <QTextDocument>
#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

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

// A message's height at a width is that of its text laid out there, also after a width asked
// for before, and after its font or text changed.
TEST(Text, AMessageIsAsHighAsItsTextLaidOutAtTheWidth)
{
    MessageText text(QStringLiteral("Find releases at vantora.example/releases/latest/ or ask the Bridge's owner."));
    const auto laidOut = [&text](int width) {
        std::unique_ptr<QTextDocument> document(text.document()->clone());
        document->setTextWidth(width);
        return document;
    };
    struct Row {
        const char *name;
        std::function<void()> change;
    };
    const std::vector<Row> rows = {
        {"as made", [] {}},
        {"a larger font", [&text] {
             QFont font = text.font();
             font.setPixelSize(QFontInfo(font).pixelSize() * 2);
             text.setFont(font);
         }},
        {"another text", [&text] { text.setPlainText(QStringLiteral("A longer text now: ") + QString(40, u'w')); }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        row.change();
        EXPECT_EQ(text.naturalWidth(), int(std::ceil(laidOut(-1)->idealWidth())));
        for (const int width : {60, 200, 60, 1000, 200}) {
            SCOPED_TRACE(width);
            EXPECT_EQ(text.heightForWidth(width), int(std::ceil(laidOut(width)->size().height())));
        }
    }
}
