#include "ui/Environment.h"
#include "ui/EnvironmentKeys.h"

#include <QSignalSpy>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using vantora::ui::ColorScheme;
using vantora::ui::Environment;
using vantora::ui::EnvironmentChangeEvent;
using vantora::ui::EnvironmentKey;
using vantora::ui::colorSchemeKey;

namespace {

const EnvironmentKey<int> depthKey{"test.depth", 7};

// Counts the change events a widget receives, by key.
struct Listener final : QWidget {
    explicit Listener(QWidget *parent) : QWidget(parent) {}
    std::vector<QByteArray> heard;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == EnvironmentChangeEvent::eventType())
            heard.push_back(static_cast<EnvironmentChangeEvent *>(event)->key());
        return QWidget::event(event);
    }
};

// window ─ middle ─ inner ─ leaf
struct Tree {
    QWidget window;
    Listener *middle = new Listener(&window);
    Listener *inner = new Listener(middle);
    Listener *leaf = new Listener(inner);
};

} // namespace

TEST(Environment, TheNearestScopeThatSetsAKeyWins)
{
    Tree tree;
    struct Row {
        std::string name;
        std::function<void(Tree &)> setUp;
        int middle, inner, leaf;
    };
    const std::vector<Row> rows = {
        {"nothing set: the default", [](Tree &) {}, 7, 7, 7},
        {"set at the window", [](Tree &t) { Environment::scope(&t.window).set(depthKey, 1); }, 1, 1, 1},
        {"inner scope overrides below it",
         [](Tree &t) { Environment::scope(t.inner).set(depthKey, 3); }, 1, 3, 3},
        {"a scope that does not set the key passes it on",
         [](Tree &t) { Environment::scope(t.middle).set(colorSchemeKey, ColorScheme::Dark); }, 1, 3, 3},
        {"unsetting falls back to the surroundings",
         [](Tree &t) { Environment::scope(t.inner).unset(depthKey); }, 1, 1, 1},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        row.setUp(tree);
        EXPECT_EQ(Environment::of(tree.middle).value(depthKey), row.middle);
        EXPECT_EQ(Environment::of(tree.inner).value(depthKey), row.inner);
        EXPECT_EQ(Environment::of(tree.leaf).value(depthKey), row.leaf);
    }
}

TEST(Environment, ChangesReachChildScopesAndWidgetsThatDoNotOverride)
{
    Tree tree;
    Environment &top = Environment::scope(&tree.window);
    Environment &middleScope = Environment::scope(tree.middle);
    QSignalSpy middleChanged(&middleScope, &Environment::changed);

    top.set(depthKey, 1);

    EXPECT_EQ(middleChanged.count(), 1);
    EXPECT_EQ(middleChanged.at(0).at(0).toByteArray(), depthKey.name());
    EXPECT_EQ(tree.leaf->heard, std::vector<QByteArray>{depthKey.name()});

    // Once the inner scope sets the key itself, a change above no longer reaches below it.
    Environment &innerScope = Environment::scope(tree.inner);
    innerScope.set(depthKey, 5);
    QSignalSpy innerChanged(&innerScope, &Environment::changed);
    tree.leaf->heard.clear();
    tree.middle->heard.clear();

    top.set(depthKey, 2);

    EXPECT_EQ(tree.middle->heard.size(), 1u);
    EXPECT_EQ(innerChanged.count(), 0);
    EXPECT_TRUE(tree.leaf->heard.empty());
    EXPECT_EQ(Environment::of(tree.leaf).value(depthKey), 5);
}

TEST(Environment, AnEqualValueAnnouncesNothing)
{
    Tree tree;
    Environment &top = Environment::scope(&tree.window);
    top.set(depthKey, 7); // the default: nothing changes for anyone
    QSignalSpy changed(&top, &Environment::changed);
    top.set(depthKey, 7);
    Environment::scope(tree.inner).set(depthKey, 7);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_TRUE(tree.leaf->heard.empty());
}

TEST(Environment, AReparentedWidgetReadsItsNewSurroundings)
{
    Tree tree;
    QWidget other;
    Environment::scope(&tree.window).set(depthKey, 1);
    Environment::scope(&other).set(depthKey, 9);

    tree.inner->setParent(&other);

    EXPECT_EQ(Environment::of(tree.leaf).value(depthKey), 9);
}

TEST(Environment, TheRootReachesEveryWindowWithoutAScopeOfItsOwn)
{
    Tree tree;
    const int before = Environment::root().value(depthKey);
    Environment::root().set(depthKey, before + 1);
    EXPECT_EQ(Environment::of(tree.leaf).value(depthKey), before + 1);
    EXPECT_EQ(tree.leaf->heard, std::vector<QByteArray>{depthKey.name()});
    Environment::root().unset(depthKey);
}
