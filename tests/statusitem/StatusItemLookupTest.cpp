#include "FakeStatusObjects.h"

#include "statusitem/StatusItemExtensions.h"
#include "statusitem/StatusItemIdentity.h"
#include "statusitem/StatusItemUtils.h"

#include <gtest/gtest.h>

using namespace vantora::statusitem;
using vantora::testing::FakeStatusItem;
using vantora::testing::FakeWindow;
using vantora::testing::makeController;
namespace ext = StatusItemExtensions;

namespace {

struct Desktop {
    PlatformApplication application;
    std::vector<std::shared_ptr<Window>> windows;

    std::shared_ptr<FakeStatusItem> addItem(QString itemClass = StatusItemUtils::statusItemClass)
    {
        auto item = std::make_shared<FakeStatusItem>(std::make_shared<StatusBarButton>(), std::move(itemClass));
        add(std::make_shared<FakeWindow>(StatusItemUtils::statusBarWindowClass, Value(ObjectPtr(item))));
        return item;
    }
    std::shared_ptr<FakeWindow> addExtraWindow(const ObjectPtr &item, Mirror mirror = {})
    {
        auto window = std::make_shared<FakeWindow>(QStringLiteral("Toolkit.") + StatusItemUtils::extraWindowClass,
                                                   Value(item), std::move(mirror));
        add(window);
        return window;
    }
    void add(std::shared_ptr<Window> window)
    {
        application.addWindow(window);
        windows.push_back(std::move(window));
    }
};

Mirror titled(const QString &key)
{
    return Mirror{{{StatusItemUtils::labelKeyPath, key}}, nullptr};
}

} // namespace

TEST(StatusItemIdentity, DescribesAndComparesByCaseThenPayload)
{
    EXPECT_EQ(StatusItemIdentity::index(0).description(), QStringLiteral("index 0"));
    EXPECT_EQ(StatusItemIdentity::id(QStringLiteral("x")).description(), QStringLiteral("ID \"x\""));
    EXPECT_NE(StatusItemIdentity::index(1), StatusItemIdentity::id(QStringLiteral("1")));
    EXPECT_EQ(qHash(StatusItemIdentity::index(2)), qHash(StatusItemIdentity::index(2)));
}

TEST(StatusItemLookup, FindsNothingWithoutTrayWindowsOrOutOfRange)
{
    Desktop empty;
    EXPECT_TRUE(StatusItemUtils::statusItems(empty.application).empty());
    EXPECT_EQ(StatusItemUtils::statusItem(empty.application, std::nullopt), nullptr);
    EXPECT_EQ(StatusItemUtils::window(empty.application, std::nullopt), nullptr);

    Desktop one;
    const auto item = one.addItem();
    one.addExtraWindow(item);
    for (int index : {-1, 1, 7}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(StatusItemUtils::statusItem(one.application, StatusItemIdentity::index(index)), nullptr);
        EXPECT_EQ(StatusItemUtils::window(one.application, StatusItemIdentity::index(index)), nullptr);
    }
    EXPECT_EQ(StatusItemUtils::statusItem(one.application, StatusItemIdentity::index(0)), item);
    EXPECT_EQ(StatusItemUtils::window(one.application, StatusItemIdentity::index(0)), one.windows[1]);
}

TEST(StatusItemLookup, KeepsOnlyItemsOfTheSystemsClass)
{
    struct Row {
        const char *name;
        bool sceneItems;
        QString kept;
    };
    const Row rows[] = {
        {"older system keeps plain items", false, StatusItemUtils::statusItemClass},
        {"newer system keeps scene items", true, StatusItemUtils::sceneStatusItemClass},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Desktop desktop;
        desktop.application.setUsesSceneStatusItems(row.sceneItems);
        const auto plain = desktop.addItem(StatusItemUtils::statusItemClass);
        const auto scene = desktop.addItem(StatusItemUtils::sceneStatusItemClass);
        const auto items = StatusItemUtils::statusItems(desktop.application);
        ASSERT_EQ(items.size(), 1u);
        EXPECT_EQ(items.front()->className(), row.kept);
    }
}

TEST(StatusItemLookup, AKeyedValueThatIsNoItemFallsThroughToTheReflectedField)
{
    Desktop desktop;
    const auto item = std::make_shared<FakeStatusItem>();
    desktop.add(std::make_shared<FakeWindow>(StatusItemUtils::statusBarWindowClass, Value(QStringLiteral("not an item")),
                                             Mirror{{{StatusItemUtils::statusItemKey, ObjectPtr(item)}}, nullptr}));
    EXPECT_EQ(StatusItemUtils::statusItem(desktop.application, std::nullopt), item);
}

TEST(StatusItemLookup, IdentifiersPickTheFirstMatchAndHashViewLabels)
{
    Desktop desktop;
    const auto first = desktop.addItem();
    const auto second = desktop.addItem();
    first->button()->setTarget(makeController({{StatusItemUtils::labelKeyPath, QStringLiteral("lights")}}));
    second->button()->setTarget(makeController({{StatusItemUtils::labelKeyPath, QStringLiteral("lights")}}));
    const auto firstWindow = desktop.addExtraWindow(first, titled(QStringLiteral("lights")));
    desktop.addExtraWindow(second, titled(QStringLiteral("lights")));

    EXPECT_EQ(StatusItemUtils::statusItem(desktop.application, StatusItemIdentity::id(QStringLiteral("lights"))), first);
    EXPECT_EQ(StatusItemUtils::window(desktop.application, StatusItemIdentity::id(QStringLiteral("lights"))), firstWindow);

    Desktop labelled;
    for (const char *text : {"Label one", "Label two"})
        labelled.addExtraWindow(nullptr, Mirror{{{StatusItemUtils::labelPath, ViewLabel{QString::fromLatin1(text)}}}, nullptr});
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(StatusItemUtils::window(labelled.application, StatusItemIdentity::id(QStringLiteral("no such hash"))), nullptr);
    const QString printed = QString::fromStdString(::testing::internal::GetCapturedStdout());
    EXPECT_EQ(printed.count(QStringLiteral("hash: ")), 2) << printed.toStdString();
    EXPECT_EQ(printed.count(QLatin1Char('\n')), 2);
}

TEST(StatusItemLookup, MenuBasedFollowsTheControllersConfiguration)
{
    struct Row {
        const char *name;
        std::function<ObjectPtr()> controller;
        bool menuBased;
    };
    const Row rows[] = {
        {"no controller at all", [] { return ObjectPtr(); }, true},
        {"controller without a base class part", [] { return makeController({}, false); }, false},
        {"configuration says menu", [] { return makeController({{StatusItemUtils::isMenuBasedPath, true}}); }, true},
        {"configuration says window", [] { return makeController({{StatusItemUtils::isMenuBasedPath, false}}); }, false},
        {"flag of the wrong type", [] { return makeController({{StatusItemUtils::isMenuBasedPath, qint64(1)}}); }, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        FakeStatusItem item;
        item.button()->setTarget(row.controller());
        EXPECT_EQ(StatusItemUtils::isMenuBased(item), row.menuBased);
    }
}

TEST(StatusItemLookup, ControllerFallsBackToDelegateThenStash)
{
    FakeStatusItem item;
    item.sessions = true;
    const ObjectPtr delegate = makeController({});
    item.delegate = delegate;
    EXPECT_EQ(StatusItemUtils::controller(item), delegate);
    ext::stashExpandedInterfaceDelegate(item);
    EXPECT_EQ(item.delegate, nullptr);
    EXPECT_EQ(StatusItemUtils::controller(item), delegate);
}

TEST(StatusItemActions, ButtonModeClicksAndHighlightsByState)
{
    FakeStatusItem noButton(nullptr);
    ext::togglePresented(noButton);

    FakeStatusItem item;
    int clicks = 0;
    item.button()->setClickAction([&] {
        ++clicks;
        item.button()->setState(ButtonState::mixed);
    });
    ext::togglePresented(item);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(item.button()->isHighlighted());

    item.button()->setEnabled(false);
    item.button()->setState(ButtonState::off);
    ext::togglePresented(item);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(item.button()->isHighlighted());
}

TEST(StatusItemActions, SessionModeCancelsThenBeginsAndLeavesTheButtonAlone)
{
    FakeStatusItem item;
    item.sessions = true;
    item.delegate = makeController({});
    item.button()->setHighlighted(true);

    ext::togglePresented(item);
    ASSERT_TRUE(item.session);
    EXPECT_EQ(item.beginArgument, std::numeric_limits<double>::max());
    ext::togglePresented(item);
    EXPECT_FALSE(item.session);
    ext::togglePresented(item);
    EXPECT_TRUE(item.session);
    EXPECT_TRUE(item.button()->isHighlighted());
}

TEST(StatusItemActions, StashAndRestoreTheDelegate)
{
    FakeStatusItem item;
    item.sessions = true;
    auto original = makeController({});
    item.delegate = original;
    ext::stashExpandedInterfaceDelegate(item);
    EXPECT_FALSE(ext::usesExpandedInterface(item));

    // Stashing again with no delegate keeps the first stash.
    ext::stashExpandedInterfaceDelegate(item);
    ext::restoreExpandedInterfaceDelegate(item);
    EXPECT_EQ(item.delegate, original);
    EXPECT_EQ(item.associatedObject(StatusItemUtils::expandedInterfaceDelegateKey()), nullptr);

    // A newer delegate wins over the stash, which is dropped anyway.
    ext::stashExpandedInterfaceDelegate(item);
    auto newer = makeController({});
    item.delegate = newer;
    ext::restoreExpandedInterfaceDelegate(item);
    EXPECT_EQ(item.delegate, newer);
    EXPECT_EQ(item.associatedObject(StatusItemUtils::expandedInterfaceDelegateKey()), nullptr);

    // A stashed delegate that died restores nothing.
    ext::stashExpandedInterfaceDelegate(item);
    newer.reset();
    ext::restoreExpandedInterfaceDelegate(item);
    EXPECT_EQ(item.delegate, nullptr);
    EXPECT_EQ(item.associatedObject(StatusItemUtils::expandedInterfaceDelegateKey()), nullptr);
}
