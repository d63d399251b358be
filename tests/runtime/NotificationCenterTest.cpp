#include "runtime/NotificationCenter.h"

#include <QObject>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using vantora::runtime::Notification;
using vantora::runtime::NotificationCenter;

TEST(NotificationCenter, DeliversByNameWithUserInfoInRegistrationOrder)
{
    NotificationCenter center;
    QObject owner;
    std::vector<QString> log;
    center.addObserver(&owner, QStringLiteral("A"), [&](const Notification &n) { log.push_back(QStringLiteral("1:") + n.userInfo.value(QStringLiteral("name")).toString()); });
    center.addObserver(&owner, QStringLiteral("B"), [&](const Notification &) { log.push_back(QStringLiteral("B")); });
    center.addObserver(&owner, QStringLiteral("A"), [&](const Notification &) { log.push_back(QStringLiteral("2")); });
    center.post(QStringLiteral("A"), {{QStringLiteral("name"), QStringLiteral("toggle")}});
    EXPECT_EQ(log, (std::vector<QString>{QStringLiteral("1:toggle"), QStringLiteral("2")}));
}

TEST(NotificationCenter, ObserversDieWithTheirOwner)
{
    NotificationCenter center;
    int calls = 0;
    auto owner = std::make_unique<QObject>();
    center.addObserver(owner.get(), QStringLiteral("A"), [&](const Notification &) { ++calls; });
    owner.reset();
    center.post(QStringLiteral("A"));
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(center.observerCount(), 0u);
}

TEST(NotificationCenter, AnObserverRemovedDuringAPostIsNotCalled)
{
    NotificationCenter center;
    QObject first;
    QObject second;
    int secondCalls = 0;
    center.addObserver(&first, QStringLiteral("A"), [&](const Notification &) { center.removeObservers(&second); });
    center.addObserver(&second, QStringLiteral("A"), [&](const Notification &) { ++secondCalls; });
    center.post(QStringLiteral("A"));
    EXPECT_EQ(secondCalls, 0);
}
