#include "platform/x11/X11HotKeys.h"

#include "platform/x11/CarbonKeyNames.h"
#include "platform/x11/X11Connection.h"

#include <QSocketNotifier>
#include <QTimer>

#include <xcb/xcb.h>
// The XKB protocol header names a field `explicit`, a C++ keyword.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
#include <xkbcommon/xkbcommon-keysyms.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <map>
#include <variant>

namespace vantora::platform {

namespace {

constexpr quint32 carbonCommand = 0x100;
constexpr quint32 carbonShift = 0x200;
constexpr quint32 carbonOption = 0x800;
constexpr quint32 carbonControl = 0x1000;
constexpr quint32 carbonFunction = 0x20000;

// An X error code: the resource (here, the key combination) is held by another client.
constexpr quint8 badAccess = 10;

struct Grab {
    xcb_keycode_t keycode = 0;
    quint16 modifiers = 0;
    auto operator<=>(const Grab &) const = default;
};

// Which real modifier bits carry Alt, Super and the locks on this server.
struct ModifierBits {
    quint16 alt = 0;
    quint16 super = 0;
    quint16 numLock = 0;
    quint16 scrollLock = 0;
};

ModifierBits readModifierBits(xcb_connection_t *connection, xkb_keymap *keymap)
{
    ModifierBits bits;
    XcbReply<xcb_get_modifier_mapping_reply_t> mapping(
        xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr));
    if (!mapping || !keymap)
        return bits;
    const xcb_keycode_t *keycodes = xcb_get_modifier_mapping_keycodes(mapping.get());
    const int perModifier = mapping->keycodes_per_modifier;
    // Mod1 to Mod5; Shift, Lock and Control are fixed.
    for (int modifier = 3; modifier < 8; ++modifier) {
        const auto bit = quint16(1u << modifier);
        for (int i = 0; i < perModifier; ++i) {
            const xcb_keycode_t keycode = keycodes[modifier * perModifier + i];
            for (xkb_level_index_t level = 0; keycode && level < 2; ++level) {
                const xkb_keysym_t *keysyms = nullptr;
                const int count = xkb_keymap_key_get_syms_by_level(keymap, keycode, 0, level, &keysyms);
                for (int k = 0; k < count; ++k) {
                    switch (keysyms[k]) {
                    case XKB_KEY_Alt_L:
                    case XKB_KEY_Alt_R:
                        bits.alt = bits.alt ? bits.alt : bit;
                        break;
                    case XKB_KEY_Super_L:
                    case XKB_KEY_Super_R:
                        bits.super = bits.super ? bits.super : bit;
                        break;
                    case XKB_KEY_Num_Lock:
                        bits.numLock = bits.numLock ? bits.numLock : bit;
                        break;
                    case XKB_KEY_Scroll_Lock:
                        bits.scrollLock = bits.scrollLock ? bits.scrollLock : bit;
                        break;
                    default:
                        break;
                    }
                }
            }
        }
    }
    return bits;
}

} // namespace

class X11HotKeys::Session final {
public:
    explicit Session(std::unique_ptr<X11Connection> connection)
        : m_connection(std::move(connection))
        , m_keymap(m_connection->fetchKeymap())
        , m_bits(readModifierBits(raw(), m_keymap.get()))
        , m_notifier(xcb_get_file_descriptor(raw()), QSocketNotifier::Read)
    {
        // A held key then repeats as presses alone, without a release before each one.
        XcbReply<xcb_xkb_per_client_flags_reply_t>(xcb_xkb_per_client_flags_reply(
            raw(),
            xcb_xkb_per_client_flags(raw(), XCB_XKB_ID_USE_CORE_KBD, XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT,
                                     XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT, 0, 0, 0),
            nullptr));
        QObject::connect(&m_notifier, &QSocketNotifier::activated, &m_notifier, [this] { drainEvents(); });
    }

    HotKeyRegistration registerHotKey(quint32 carbonKeyCode, quint32 carbonModifiers, quint32 hotKeyId)
    {
        const auto combination = combinationFor(carbonKeyCode, carbonModifiers);
        if (const auto *failure = std::get_if<HotKeyRegistration::Status>(&combination))
            return {*failure, 0};
        const Grab grab = std::get<Grab>(combination);
        if (!m_grabCounts.contains(grab)) {
            const HotKeyRegistration::Status status = grabEveryLockState(grab);
            if (status != HotKeyRegistration::Status::registered)
                return {status, 0};
        }
        ++m_grabCounts[grab];
        const HotKeyRef ref = m_nextRef++;
        m_registrations.emplace(ref, Registration{grab, hotKeyId});
        return {HotKeyRegistration::Status::registered, ref};
    }

    void unregisterHotKey(HotKeyRef ref)
    {
        const auto registration = m_registrations.find(ref);
        if (registration == m_registrations.end())
            return;
        const Grab grab = registration->second.grab;
        m_registrations.erase(registration);
        if (--m_grabCounts[grab] == 0) {
            m_grabCounts.erase(grab);
            ungrabEveryLockState(grab);
        }
    }

    void installHandler(EventHandler handler) { m_handler = std::move(handler); }
    void setEventsAttached(bool attached) { m_attached = attached; }

    bool isTakenByAnotherProgram(quint32 carbonKeyCode, quint32 carbonModifiers)
    {
        const auto combination = combinationFor(carbonKeyCode, carbonModifiers);
        const Grab *grab = std::get_if<Grab>(&combination);
        if (!grab || m_grabCounts.contains(*grab))
            return false;
        // Try to take it: only a refusal tells that someone else has it.
        switch (grabEveryLockState(*grab)) {
        case HotKeyRegistration::Status::registered:
            ungrabEveryLockState(*grab);
            return false;
        case HotKeyRegistration::Status::taken:
            return true;
        default:
            return false;
        }
    }

    std::optional<quint32> lastEventTime() const { return m_lastEventTime; }
    void readPendingKeys() { drainEvents(); }

    KeyRepeat keyRepeat()
    {
        XcbReply<xcb_xkb_get_controls_reply_t> controls(
            xcb_xkb_get_controls_reply(raw(), xcb_xkb_get_controls(raw(), XCB_XKB_ID_USE_CORE_KBD), nullptr));
        if (!controls || controls->repeatInterval == 0)
            return {};
        return {std::chrono::milliseconds(controls->repeatDelay), std::chrono::milliseconds(controls->repeatInterval)};
    }

private:
    struct Registration {
        Grab grab;
        quint32 hotKeyId = 0;
    };

    xcb_connection_t *raw() const { return m_connection->raw(); }

    std::variant<Grab, HotKeyRegistration::Status> combinationFor(quint32 carbonKeyCode, quint32 carbonModifiers) const
    {
        using Status = HotKeyRegistration::Status;
        const auto name = xkbKeyName(carbonKeyCode);
        const xkb_keycode_t keycode =
            name && m_keymap ? xkb_keymap_key_by_name(m_keymap.get(), name->constData()) : XKB_KEYCODE_INVALID;
        if (keycode == XKB_KEYCODE_INVALID || keycode > 255)
            return Status::noSuchKey;
        if ((carbonModifiers & carbonFunction) || ((carbonModifiers & carbonOption) && !m_bits.alt)
            || ((carbonModifiers & carbonCommand) && !m_bits.super))
            return Status::unsupportedModifier;
        quint16 modifiers = 0;
        if (carbonModifiers & carbonControl)
            modifiers |= XCB_MOD_MASK_CONTROL;
        if (carbonModifiers & carbonShift)
            modifiers |= XCB_MOD_MASK_SHIFT;
        if (carbonModifiers & carbonOption)
            modifiers |= m_bits.alt;
        if (carbonModifiers & carbonCommand)
            modifiers |= m_bits.super;
        return Grab{xcb_keycode_t(keycode), modifiers};
    }

    // Every combination of the lock modifiers the server has, so that a lock never hides a key.
    std::vector<quint16> lockStates() const
    {
        std::vector<quint16> states{0};
        for (const quint16 lock : {quint16(XCB_MOD_MASK_LOCK), m_bits.numLock, m_bits.scrollLock}) {
            if (!lock)
                continue;
            const std::size_t count = states.size();
            for (std::size_t i = 0; i < count; ++i)
                states.push_back(states[i] | lock);
        }
        return states;
    }

    quint16 ignoredModifiers() const
    {
        return quint16(XCB_MOD_MASK_LOCK | m_bits.numLock | m_bits.scrollLock);
    }

    // All or nothing: when any lock state is refused, the ones granted are given back.
    // Refused with BadAccess, the combination is another client's.
    HotKeyRegistration::Status grabEveryLockState(const Grab &grab)
    {
        std::vector<std::pair<quint16, xcb_void_cookie_t>> requests;
        for (const quint16 lock : lockStates()) {
            requests.emplace_back(lock,
                                  xcb_grab_key_checked(raw(), 0, m_connection->rootWindow(), grab.modifiers | lock,
                                                       grab.keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        }
        std::vector<quint16> granted;
        auto status = HotKeyRegistration::Status::registered;
        for (const auto &[lock, cookie] : requests) {
            XcbReply<xcb_generic_error_t> error(xcb_request_check(raw(), cookie));
            if (!error)
                granted.push_back(lock);
            else if (error->error_code == badAccess)
                status = HotKeyRegistration::Status::taken;
            else if (status == HotKeyRegistration::Status::registered)
                status = HotKeyRegistration::Status::noSuchKey;
        }
        if (status != HotKeyRegistration::Status::registered) {
            for (const quint16 lock : granted)
                xcb_ungrab_key(raw(), grab.keycode, m_connection->rootWindow(), grab.modifiers | lock);
            waitForServer();
        }
        // Waiting for the replies may have queued events the socket notifier will not see.
        scheduleDrain();
        return status;
    }

    // Returns once the server has released the combination: other programs (and other
    // connections of ours) may take it as soon as we say it is free.
    void ungrabEveryLockState(const Grab &grab)
    {
        for (const quint16 lock : lockStates())
            xcb_ungrab_key(raw(), grab.keycode, m_connection->rootWindow(), grab.modifiers | lock);
        waitForServer();
    }

    // A round trip: every request sent before it has been carried out when it returns.
    void waitForServer()
    {
        XcbReply<xcb_get_input_focus_reply_t>(xcb_get_input_focus_reply(raw(), xcb_get_input_focus(raw()), nullptr));
        scheduleDrain();
    }

    void scheduleDrain()
    {
        QTimer::singleShot(0, &m_notifier, [this] { drainEvents(); });
    }

    void drainEvents()
    {
        while (xcb_generic_event_t *event = xcb_poll_for_event(raw())) {
            XcbReply<xcb_generic_event_t> owned(event);
            handle(*event);
        }
        if (m_connection->hasFailed())
            m_notifier.setEnabled(false);
    }

    void handle(const xcb_generic_event_t &event)
    {
        switch (event.response_type & 0x7f) {
        case XCB_KEY_PRESS: {
            const auto &press = reinterpret_cast<const xcb_key_press_event_t &>(event);
            const Grab pressed{press.detail, quint16(press.state & 0xff & ~ignoredModifiers())};
            const auto registration = std::find_if(m_registrations.begin(), m_registrations.end(),
                                                   [&](const auto &entry) { return entry.second.grab == pressed; });
            // A press of a key already down is the keyboard repeating it.
            if (registration == m_registrations.end() || m_heldKeys.contains(press.detail))
                return;
            m_heldKeys.emplace(press.detail, registration->second.hotKeyId);
            m_lastEventTime = press.time;
            deliver({HotKeyEvent::Kind::pressed, registration->second.hotKeyId});
            break;
        }
        case XCB_KEY_RELEASE: {
            // Matched by key alone: people often let go of the modifiers first.
            const auto &release = reinterpret_cast<const xcb_key_release_event_t &>(event);
            const auto held = m_heldKeys.find(release.detail);
            if (held == m_heldKeys.end())
                return;
            const quint32 hotKeyId = held->second;
            m_heldKeys.erase(held);
            m_lastEventTime = release.time;
            deliver({HotKeyEvent::Kind::released, hotKeyId});
            break;
        }
        default:
            break;
        }
    }

    void deliver(const HotKeyEvent &event)
    {
        if (m_attached && m_handler)
            m_handler(event);
    }

    std::unique_ptr<X11Connection> m_connection;
    XkbKeymapHandle m_keymap;
    ModifierBits m_bits;
    std::map<HotKeyRef, Registration> m_registrations;
    std::map<Grab, int> m_grabCounts;
    std::map<xcb_keycode_t, quint32> m_heldKeys;
    std::optional<quint32> m_lastEventTime;
    EventHandler m_handler;
    bool m_attached = false;
    HotKeyRef m_nextRef = 1;
    QSocketNotifier m_notifier;
};

X11HotKeys::X11HotKeys(const QByteArray &displayName)
{
    if (auto connection = X11Connection::open(displayName))
        m_session = std::make_unique<Session>(std::move(connection));
}

X11HotKeys::~X11HotKeys() = default;

HotKeyRegistration X11HotKeys::registerHotKey(quint32 carbonKeyCode, quint32 carbonModifiers, quint32 hotKeyId)
{
    if (!m_session)
        return {HotKeyRegistration::Status::unavailable, 0};
    return m_session->registerHotKey(carbonKeyCode, carbonModifiers, hotKeyId);
}

void X11HotKeys::unregisterHotKey(HotKeyRef ref)
{
    if (m_session)
        m_session->unregisterHotKey(ref);
}

bool X11HotKeys::installHandler(EventHandler handler)
{
    if (!m_session)
        return false;
    m_session->installHandler(std::move(handler));
    return true;
}

void X11HotKeys::setEventsAttached(bool attached)
{
    if (m_session)
        m_session->setEventsAttached(attached);
}

bool X11HotKeys::isTakenByAnotherProgram(quint32 carbonKeyCode, quint32 carbonModifiers)
{
    return m_session && m_session->isTakenByAnotherProgram(carbonKeyCode, carbonModifiers);
}

std::vector<SystemHotKey> X11HotKeys::systemHotKeys()
{
    // X keeps no list of reserved shortcuts; the desktop's own are grabs like ours.
    return {};
}

KeyRepeat X11HotKeys::keyRepeat()
{
    return m_session ? m_session->keyRepeat() : KeyRepeat{};
}

void X11HotKeys::readPendingKeys()
{
    if (m_session)
        m_session->readPendingKeys();
}

std::optional<quint32> X11HotKeys::lastEventTime() const
{
    return m_session ? m_session->lastEventTime() : std::nullopt;
}

} // namespace vantora::platform
