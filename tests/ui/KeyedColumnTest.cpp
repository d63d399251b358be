#include "ui/UiHarness.h"

#include "ui/HoverTracker.h"
#include "ui/KeyedColumn.h"
#include "ui/MotionRecorder.h"
#include "ui/Transaction.h"

#include <QCoreApplication>
#include <QPointer>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace std::chrono_literals;
using vantora::testing::UiHarness;
using vantora::testing::pointerEnters;
using vantora::ui::Animation;
using vantora::ui::HoverTracker;
using vantora::ui::KeyedColumn;
using vantora::ui::MotionRecorder;
using vantora::ui::withAnimation;

namespace {

class Row final : public QWidget {
    Q_OBJECT

public:
    struct Fields {
        QString name;
        int height = 40;
    };

    explicit Row(QWidget *parent) : QWidget(parent), hover(new HoverTracker(this)) {}

    void apply(const Fields &fields)
    {
        shown = fields;
        ++applied;
        setFixedHeight(fields.height);
    }
    QSize sizeHint() const override { return {100, shown.height}; }

    HoverTracker *hover;
    Fields shown;
    int applied = 0;
};

using Column = KeyedColumn<Row>;
using Items = std::vector<std::pair<QString, Row::Fields>>;

struct KeyedColumnTest : ::testing::Test {
    UiHarness ui;
    Column *column = new Column(&ui.window);

    void SetUp() override
    {
        column->setSpacing(4);
        column->setGeometry(0, 0, 200, 300);
        ui.window.show();
    }

    std::vector<QString> namesTopToBottom() const
    {
        std::map<int, QString> byTop;
        for (auto *row : column->findChildren<Row *>(QString(), Qt::FindDirectChildrenOnly)) {
            if (row->isVisible())
                byTop[row->y()] = row->shown.name;
        }
        std::vector<QString> names;
        for (const auto &[top, name] : byTop)
            names.push_back(name);
        return names;
    }
};

} // namespace

TEST_F(KeyedColumnTest, ARowKeepsItsWidgetAndHoverAcrossAnUpdate)
{
    column->apply({{"a", {"Lamp"}}, {"b", {"Hall"}}, {"c", {"Desk"}}});
    Row *hall = column->row("b");
    pointerEnters(hall);
    ASSERT_TRUE(hall->hover->isHovered());

    column->apply({{"c", {"Desk"}}, {"b", {"Hallway"}}, {"d", {"Porch"}}});

    EXPECT_EQ(column->row("b"), hall);
    EXPECT_TRUE(hall->hover->isHovered());
    EXPECT_EQ(hall->shown.name, "Hallway");
    EXPECT_EQ(hall->applied, 2);
}

TEST_F(KeyedColumnTest, RowsComeAndGoWithTheirKeysAndStackInOrder)
{
    column->apply({{"a", {"A", 40}}, {"b", {"B", 20}}, {"c", {"C", 40}}});
    QPointer<Row> gone = column->row("a");

    column->apply({{"c", {"C", 40}}, {"b", {"B", 20}}, {"new", {"N", 30}}});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_TRUE(gone.isNull());
    EXPECT_EQ(column->count(), 3u);
    EXPECT_EQ(namesTopToBottom(), (std::vector<QString>{"C", "B", "N"}));
    EXPECT_EQ(column->row("c")->geometry(), QRect(0, 0, 200, 40));
    EXPECT_EQ(column->row("b")->geometry(), QRect(0, 44, 200, 20));
    EXPECT_EQ(column->row("new")->geometry(), QRect(0, 68, 200, 30));
    EXPECT_EQ(column->heightForWidth(200), 98);
}

TEST_F(KeyedColumnTest, AKeyListedTwiceBuildsOneRowFromItsFirstEntry)
{
    column->apply({{"a", {"First"}}, {"a", {"Second"}}});
    EXPECT_EQ(column->count(), 1u);
    EXPECT_EQ(column->row("a")->shown.name, "First");
    EXPECT_EQ(column->findChildren<Row *>().size(), 1);
}

TEST_F(KeyedColumnTest, RowsMoveToTheirNewPlaceUnderTheTransaction)
{
    column->apply({{"a", {"A"}}, {"b", {"B"}}});
    Row *a = column->row("a");
    MotionRecorder recorder;
    const Animation reorder = Animation::spring(0.3, 0.9);

    withAnimation(reorder, [&] { column->apply({{"b", {"B"}}, {"a", {"A"}}}); });

    EXPECT_EQ(a->y(), 0); // still where it was, about to move
    EXPECT_EQ(recorder.animationsOf(column, "rowTop"), (std::vector<Animation>{reorder, reorder}));
    ui.advance(1s);
    EXPECT_EQ(a->y(), 44);

    ui.setReduceMotion(true);
    withAnimation(reorder, [&] { column->apply({{"a", {"A"}}, {"b", {"B"}}}); });
    EXPECT_EQ(a->y(), 0);
}

#include "KeyedColumnTest.moc"
