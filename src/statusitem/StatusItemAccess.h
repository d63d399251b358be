#pragma once

#include "runtime/Clock.h"
#include "runtime/Executor.h"
#include "runtime/TaskScope.h"
#include "statusitem/BoolBinding.h"
#include "statusitem/StatusItemExtensions.h"
#include "statusitem/StatusItemObjects.h"

#include <QObject>

#include <chrono>
#include <functional>
#include <memory>

namespace vantora::statusitem {

// Keeps two Booleans in step with the tray item at `index`, both ways: whether the panel is
// shown (writing it opens or closes the extra; the panel becoming or ceasing to be the key
// window writes it) and whether the item is enabled. Every write reaches its change action
// on a later turn of the executor, as every other change does, so actions never run inside
// the handler that wrote. Each action looks the item up afresh; while there is none, writes
// change nothing.
//
// At start it looks for the item every 0.2 s for at most 2.0 s (on the given clock); once
// found, the optional callback gets the item and the current enabled state is applied. A
// search that failed is never repeated by the same object. Main thread only; the
// application and both bindings must outlive this object.
class StatusItemAccess final : public QObject {
    Q_OBJECT
public:
    enum class SetupPhase { notStarted, started, failed, succeeded };
    using Introspection = std::function<void(StatusItem &)>;

    static constexpr std::chrono::milliseconds searchInterval{200};
    static constexpr std::chrono::milliseconds searchLimit{2000};

    StatusItemAccess(PlatformApplication &application, int index, BoolBinding &isMenuPresented,
                     BoolBinding &isStatusItemEnabled, Introspection statusItemIntrospection = {},
                     runtime::Clock &clock = runtime::systemClock(),
                     runtime::Executor &executor = runtime::mainExecutor(), QObject *parent = nullptr);
    ~StatusItemAccess() override;

    SetupPhase setupPhase() const noexcept { return m_setupPhase; }

    // Starts the search (once), and rebuilds the button observer and the window
    // subscriptions. Runs at construction and again when the search finds the item.
    void setupObservers();

    // The change actions.
    void menuPresentedChanged(bool presented);
    void statusItemEnabledChanged(bool enabled);
    void buttonStateChanged(std::optional<ButtonState> newValue);
    void extraWindowDidBecomeKey(Window &window);
    void extraWindowDidResignKey(Window &window);

private:
    runtime::Task<bool> introspectStatusItem();
    std::unique_ptr<ButtonStateObserver> makeButtonStateObserver();
    std::shared_ptr<StatusItem> lookUp() const;
    void postAction(std::function<void()> action);

    PlatformApplication &m_application;
    const int m_index;
    BoolBinding &m_isMenuPresented;
    BoolBinding &m_isStatusItemEnabled;
    Introspection m_statusItemIntrospection;
    runtime::Clock &m_clock;
    runtime::Executor &m_executor;

    SetupPhase m_setupPhase = SetupPhase::notStarted;
    std::unique_ptr<ButtonStateObserver> m_observer;
    PlatformApplication::Subscription m_windowDidBecomeKeyObserver;
    PlatformApplication::Subscription m_windowDidResignKeyObserver;
    std::shared_ptr<char> m_alive = std::make_shared<char>();
    // Last: destroyed first, so the search never outlives what it works on.
    runtime::TaskScope m_tasks;
};

} // namespace vantora::statusitem
