#pragma once

#include "shortcuts/Shortcut.h"

#include "platform/HotKeyBackend.h"

#include <map>
#include <optional>
#include <set>
#include <vector>

namespace vantora::testing {

// Hot keys as a scripted system: refuses what it is told is taken, records registrations,
// and delivers presses only for registered combinations while events are attached.
class FakeHotKeyBackend final : public platform::HotKeyBackend {
public:
    struct Registration {
        quint32 carbonKeyCode = 0;
        quint32 carbonModifiers = 0;
        quint32 hotKeyId = 0;
    };

    // Combinations (key code, modifiers) another program holds.
    std::set<std::pair<quint32, quint32>> taken;
    std::vector<platform::SystemHotKey> listed;
    // Whether the desktop has the last word, as a portal's has.
    bool decides = false;
    // The desktop's word on combinations (key code, modifiers), where it has one.
    std::map<std::pair<quint32, quint32>, platform::DesktopBinding> desktopBindings;
    bool refusesHandler = false;
    platform::KeyRepeat repeat{std::chrono::milliseconds(500), std::chrono::milliseconds(50)};

    std::map<platform::HotKeyRef, Registration> registrations;
    int registrationAttempts = 0;
    bool eventsAttached = false;
    // How often it was told that the actions keys run changed.
    int actionChanges = 0;

    platform::HotKeyRegistration registerHotKey(quint32 carbonKeyCode, quint32 carbonModifiers,
                                                quint32 hotKeyId) override
    {
        ++registrationAttempts;
        if (taken.contains({carbonKeyCode, carbonModifiers}))
            return {platform::HotKeyRegistration::Status::taken, 0};
        const platform::HotKeyRef ref = m_nextRef++;
        registrations.emplace(ref, Registration{carbonKeyCode, carbonModifiers, hotKeyId});
        return {platform::HotKeyRegistration::Status::registered, ref};
    }

    void unregisterHotKey(platform::HotKeyRef ref) override { registrations.erase(ref); }

    bool installHandler(EventHandler handler) override
    {
        if (refusesHandler)
            return false;
        m_handler = std::move(handler);
        return true;
    }

    void setEventsAttached(bool attached) override { eventsAttached = attached; }

    bool isTakenByAnotherProgram(quint32 carbonKeyCode, quint32 carbonModifiers) override
    {
        return taken.contains({carbonKeyCode, carbonModifiers});
    }

    std::vector<platform::SystemHotKey> systemHotKeys() override { return listed; }
    platform::KeyRepeat keyRepeat() override { return repeat; }
    bool desktopDecides() const override { return decides; }
    void actionsChanged() override { ++actionChanges; }

    std::optional<platform::DesktopBinding> desktopBinding(quint32 carbonKeyCode, quint32 carbonModifiers) const override
    {
        const auto binding = desktopBindings.find({carbonKeyCode, carbonModifiers});
        return binding == desktopBindings.end() ? std::nullopt : std::optional(binding->second);
    }

    // The id the combination is registered under now, if it is.
    std::optional<quint32> registeredId(const GlobalShortcuts::Shortcut &shortcut) const
    {
        for (const auto &[ref, registration] : registrations) {
            if (registration.carbonKeyCode == shortcut.carbonKeyCode
                && registration.carbonModifiers == shortcut.carbonModifiers)
                return registration.hotKeyId;
        }
        return std::nullopt;
    }

    std::multiset<quint32> registeredIds() const
    {
        std::multiset<quint32> ids;
        for (const auto &[ref, registration] : registrations)
            ids.insert(registration.hotKeyId);
        return ids;
    }

    using Kind = platform::HotKeyEvent::Kind;

    void deliver(Kind kind, quint32 hotKeyId)
    {
        if (eventsAttached && m_handler)
            m_handler({kind, hotKeyId});
    }

    // A press and release of the combination, as the system reports it to its registrant.
    void press(const GlobalShortcuts::Shortcut &shortcut) { deliverTo(Kind::pressed, shortcut); }
    void release(const GlobalShortcuts::Shortcut &shortcut) { deliverTo(Kind::released, shortcut); }
    void tap(const GlobalShortcuts::Shortcut &shortcut)
    {
        press(shortcut);
        release(shortcut);
    }

private:
    void deliverTo(Kind kind, const GlobalShortcuts::Shortcut &shortcut)
    {
        if (const auto id = registeredId(shortcut))
            deliver(kind, *id);
    }

    EventHandler m_handler;
    platform::HotKeyRef m_nextRef = 1;
};

} // namespace vantora::testing
