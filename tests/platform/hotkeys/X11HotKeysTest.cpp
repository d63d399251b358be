#include "X11Testing.h"

#include "platform/x11/X11HotKeys.h"
#include "platform/x11/XkbKeyboardLayout.h"

#include <QProcess>

#include <gtest/gtest.h>

using namespace vantora::platform;
using namespace std::chrono_literals;
using vantora::testing::waitUntil;
using vantora::testing::xdotool;

namespace {

constexpr quint32 carbonL = 37;
constexpr quint32 carbonK = 40;
constexpr quint32 controlOption = 0x1000 | 0x800;

using Kind = HotKeyEvent::Kind;

struct Received {
    Kind kind;
    quint32 hotKeyId;
    friend bool operator==(const Received &, const Received &) = default;
};

void PrintTo(const Received &event, std::ostream *out)
{
    *out << (event.kind == Kind::pressed ? "pressed " : "released ") << event.hotKeyId;
}

class X11HotKeysTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_hotKeys.isAvailable()) << "no X server on DISPLAY";
        ASSERT_TRUE(m_hotKeys.installHandler([this](const HotKeyEvent &event) {
            m_received.push_back({event.kind, event.hotKeyId});
        }));
        m_hotKeys.setEventsAttached(true);
    }

    HotKeyRef registerOrFail(quint32 keyCode, quint32 modifiers, quint32 id)
    {
        const HotKeyRegistration registration = m_hotKeys.registerHotKey(keyCode, modifiers, id);
        EXPECT_EQ(registration.status, HotKeyRegistration::Status::registered);
        m_refs.push_back(registration.ref);
        return registration.ref;
    }

    void waitForEvents(std::size_t count)
    {
        EXPECT_TRUE(waitUntil([&] { return m_received.size() >= count; }))
            << "received " << m_received.size() << " of " << count << " events";
    }

    void TearDown() override
    {
        for (const HotKeyRef ref : m_refs)
            m_hotKeys.unregisterHotKey(ref);
    }

    X11HotKeys m_hotKeys;
    std::vector<Received> m_received;
    std::vector<HotKeyRef> m_refs;
};

const std::vector<Received> twoTaps{{Kind::pressed, 7}, {Kind::released, 7}, {Kind::pressed, 7}, {Kind::released, 7}};

} // namespace

TEST_F(X11HotKeysTest, ATapArrivesAsOnePressAndOneRelease)
{
    registerOrFail(carbonL, controlOption, 7);
    ASSERT_TRUE(xdotool({"key", "ctrl+alt+l"}));
    ASSERT_TRUE(xdotool({"key", "ctrl+alt+l"}));
    waitForEvents(4);
    EXPECT_EQ(m_received, twoTaps);
}

TEST_F(X11HotKeysTest, AHeldKeyDoesNotRepeat)
{
    registerOrFail(carbonL, controlOption, 7);
    const KeyRepeat repeat = m_hotKeys.keyRepeat();
    ASSERT_GT(repeat.interval.count(), 0);
    ASSERT_LT(repeat.delay, 1000ms) << "the hold below must outlast the repeat delay";
    // Held past the repeat delay, modifiers let go before the key; then one more tap, so
    // any repeat would sit between the two taps' events.
    ASSERT_TRUE(xdotool({"keydown", "ctrl+alt+l", "sleep", "1", "keyup", "ctrl+alt+l"}));
    ASSERT_TRUE(xdotool({"key", "ctrl+alt+l"}));
    waitForEvents(4);
    EXPECT_EQ(m_received, twoTaps);
}

TEST_F(X11HotKeysTest, LocksDoNotHideAShortcut)
{
    registerOrFail(carbonL, controlOption, 7);
    ASSERT_TRUE(xdotool({"key", "Num_Lock", "key", "ctrl+alt+l", "key", "Num_Lock"}));
    ASSERT_TRUE(xdotool({"key", "Caps_Lock", "key", "ctrl+alt+l", "key", "Caps_Lock"}));
    waitForEvents(4);
    EXPECT_EQ(m_received, twoTaps);
}

TEST_F(X11HotKeysTest, OnlyRegisteredAndAttachedKeysArrive)
{
    const HotKeyRef k = registerOrFail(carbonK, controlOption, 3);
    registerOrFail(carbonL, controlOption, 7);

    m_hotKeys.setEventsAttached(false);
    ASSERT_TRUE(xdotool({"key", "ctrl+alt+k"}));
    m_hotKeys.setEventsAttached(true);
    m_hotKeys.unregisterHotKey(k);
    ASSERT_TRUE(xdotool({"key", "ctrl+alt+k", "key", "ctrl+l", "key", "ctrl+alt+l", "key", "ctrl+alt+l"}));
    waitForEvents(4);
    EXPECT_EQ(m_received, twoTaps);
}

TEST_F(X11HotKeysTest, ACombinationHeldByAnotherClientIsTaken)
{
    X11HotKeys otherProgram;
    const HotKeyRegistration held = otherProgram.registerHotKey(carbonL, controlOption, 1);
    ASSERT_TRUE(held.succeeded());

    EXPECT_TRUE(m_hotKeys.isTakenByAnotherProgram(carbonL, controlOption));
    EXPECT_EQ(m_hotKeys.registerHotKey(carbonL, controlOption, 7).status, HotKeyRegistration::Status::taken);
    EXPECT_FALSE(m_hotKeys.isTakenByAnotherProgram(carbonK, controlOption));

    otherProgram.unregisterHotKey(held.ref);
    EXPECT_FALSE(m_hotKeys.isTakenByAnotherProgram(carbonL, controlOption));
    registerOrFail(carbonL, controlOption, 7);
    EXPECT_FALSE(m_hotKeys.isTakenByAnotherProgram(carbonL, controlOption)) << "our own grab is no conflict";
    EXPECT_EQ(otherProgram.registerHotKey(carbonL, controlOption, 1).status, HotKeyRegistration::Status::taken);
}

TEST_F(X11HotKeysTest, RegistrationsOfOneCombinationAreReleasedOneByOne)
{
    const HotKeyRef first = registerOrFail(carbonL, controlOption, 7);
    registerOrFail(carbonL, controlOption, 8);
    m_hotKeys.unregisterHotKey(first);

    X11HotKeys otherProgram;
    EXPECT_EQ(otherProgram.registerHotKey(carbonL, controlOption, 1).status, HotKeyRegistration::Status::taken)
        << "the second registration still holds the grab";
}

TEST_F(X11HotKeysTest, RefusesWhatTheKeyboardCannotType)
{
    EXPECT_EQ(m_hotKeys.registerHotKey(carbonL, 0x1000 | 0x20000, 1).status,
              HotKeyRegistration::Status::unsupportedModifier);
    EXPECT_EQ(m_hotKeys.registerHotKey(63, 0x1000, 1).status, HotKeyRegistration::Status::noSuchKey);
    EXPECT_EQ(m_hotKeys.registerHotKey(999, 0x1000, 1).status, HotKeyRegistration::Status::noSuchKey);
}

TEST(X11HotKeysWithoutServer, ReportsEveryRegistrationAsUnavailable)
{
    X11HotKeys hotKeys(":65000");
    EXPECT_FALSE(hotKeys.isAvailable());
    EXPECT_FALSE(hotKeys.installHandler([](const HotKeyEvent &) {}));
    EXPECT_EQ(hotKeys.registerHotKey(carbonL, controlOption, 1).status, HotKeyRegistration::Status::unavailable);
    EXPECT_FALSE(hotKeys.isTakenByAnotherProgram(carbonL, controlOption));
    hotKeys.setEventsAttached(true);
    hotKeys.unregisterHotKey(1);
}

TEST(XkbKeyboardLayoutOnServer, FollowsTheServersLayout)
{
    auto keyboard = XkbKeyboardLayout::fromDisplay();
    ASSERT_TRUE(xdotool({"key", "shift"})) << "xdotool needs the X server";
    ASSERT_EQ(QProcess::execute(QStringLiteral("setxkbmap"), {"us"}), 0);
    EXPECT_EQ(keyboard->character(16), QStringLiteral("y"));
    EXPECT_EQ(keyboard->carbonKeyCode(38), 0);

    ASSERT_EQ(QProcess::execute(QStringLiteral("setxkbmap"), {"de"}), 0);
    EXPECT_EQ(keyboard->character(16), QStringLiteral("z"));
    ASSERT_EQ(QProcess::execute(QStringLiteral("setxkbmap"), {"us"}), 0);
}
