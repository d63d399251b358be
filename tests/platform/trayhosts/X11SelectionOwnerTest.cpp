#include "X11Testing.h"

#include "platform/X11SelectionOwner.h"

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace vantora::platform;
using vantora::testing::waitUntil;

namespace {

// A client that owns a screen selection with a window of its own and keeps its settings
// in a property of that window, as a tray or a compositing manager does.
class Owner final {
public:
    Owner() : m_connection(xcb_connect(nullptr, &m_screenNumber))
    {
        xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
        for (int i = 0; i < m_screenNumber; ++i)
            xcb_screen_next(&screens);
        m_window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screens.data->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    }
    ~Owner() { close(); }

    quint32 window() const { return m_window; }
    void take()
    {
        xcb_set_selection_owner(m_connection, m_window, atom("_VANTORA_TEST_S" + std::to_string(m_screenNumber)),
                                XCB_CURRENT_TIME);
        xcb_flush(m_connection);
    }
    void publish(const std::vector<quint32> &values)
    {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_window, atom("_VANTORA_TEST_SETTINGS"),
                            XCB_ATOM_CARDINAL, 32, quint32(values.size()), values.data());
        xcb_flush(m_connection);
    }
    // The client goes without destroying its window first.
    void close()
    {
        if (m_connection)
            xcb_disconnect(std::exchange(m_connection, nullptr));
    }

private:
    xcb_atom_t atom(const std::string &name)
    {
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(m_connection,
                                  xcb_intern_atom(m_connection, 0, quint16(name.size()), name.c_str()), nullptr),
            &std::free);
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    int m_screenNumber = 0;
    xcb_connection_t *m_connection;
    xcb_window_t m_window = XCB_WINDOW_NONE;
};

} // namespace

TEST(X11SelectionOwner, FollowsTheOwnerAndTheSettingsOfWhoeverOwnsNow)
{
    Owner first;
    Owner second;
    first.take();
    const auto watch = X11SelectionOwner::open({}, "_VANTORA_TEST_S");
    ASSERT_TRUE(watch);
    watch->watchOwnerProperty("_VANTORA_TEST_SETTINGS");
    int ownerChanges = 0;
    int propertyChanges = 0;
    QObject::connect(watch.get(), &X11SelectionOwner::ownerChanged, [&] { ++ownerChanges; });
    QObject::connect(watch.get(), &X11SelectionOwner::ownerPropertyChanged, [&] { ++propertyChanges; });

    struct Step {
        const char *what;
        std::function<void()> act;
        bool ownerChange;
        Owner *owner;
        std::vector<quint32> settings;
    };
    const Step steps[] = {
        {"the owner there before the watch publishes", [&] { first.publish({1, 2, 3}); }, false, &first, {1, 2, 3}},
        {"another takes over", [&] { second.take(); }, true, &second, {}},
        // The first is heard of no more: only the second's change may be told.
        {"both publish", [&] {
             first.publish({4, 5, 6});
             second.publish({7, 8, 9});
         }, false, &second, {7, 8, 9}},
        {"the owner's client goes", [&] { second.close(); }, true, nullptr, {}},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.what);
        const int ownersBefore = ownerChanges;
        const int propertiesBefore = propertyChanges;
        step.act();
        int &expected = step.ownerChange ? ownerChanges : propertyChanges;
        const int before = step.ownerChange ? ownersBefore : propertiesBefore;
        EXPECT_TRUE(waitUntil([&] { return expected > before; }));
        // Whatever else was queued has been read by now.
        QCoreApplication::processEvents();
        EXPECT_EQ(ownerChanges - ownersBefore, step.ownerChange ? 1 : 0);
        EXPECT_EQ(propertyChanges - propertiesBefore, step.ownerChange ? 0 : 1);
        EXPECT_EQ(watch->owner(), step.owner ? step.owner->window() : 0u);
        EXPECT_EQ(watch->ownerCardinals(12), step.settings);
    }
}
