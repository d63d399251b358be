#include "statusitem/StatusItemAccess.h"

#include "runtime/Errors.h"
#include "statusitem/StatusItemUtils.h"

namespace vantora::statusitem {

namespace ext = StatusItemExtensions;

namespace {

// Whether the extra is open as the item shows it.
bool isCurrentlyPresented(StatusItem &item)
{
    if (ext::usesExpandedInterface(item))
        return ext::currentExpandedInterfaceSession(item) != nullptr;
    const auto &button = item.button();
    return !button || button->state() != ButtonState::off;
}

} // namespace

StatusItemAccess::StatusItemAccess(PlatformApplication &application, int index, BoolBinding &isMenuPresented,
                                   BoolBinding &isStatusItemEnabled, Introspection statusItemIntrospection,
                                   runtime::Clock &clock, runtime::Executor &executor, QObject *parent)
    : QObject(parent)
    , m_application(application)
    , m_index(index)
    , m_isMenuPresented(isMenuPresented)
    , m_isStatusItemEnabled(isStatusItemEnabled)
    , m_statusItemIntrospection(std::move(statusItemIntrospection))
    , m_clock(clock)
    , m_executor(executor)
    , m_tasks(executor)
{
    // The flag may change again before a posted change runs (a key asks the panel to go as its
    // window is activated): each run follows the flag as it is then, else two changes in flight
    // would undo each other's work for ever.
    connect(&m_isMenuPresented, &BoolBinding::changed, this,
            [this] { postAction([this] { menuPresentedChanged(m_isMenuPresented.value()); }); });
    connect(&m_isStatusItemEnabled, &BoolBinding::changed, this,
            [this](bool enabled) { postAction([this, enabled] { statusItemEnabledChanged(enabled); }); });
    setupObservers();
}

StatusItemAccess::~StatusItemAccess() = default;

void StatusItemAccess::postAction(std::function<void()> action)
{
    m_executor.post([alive = std::weak_ptr(m_alive), action = std::move(action)] {
        if (!alive.expired())
            action();
    });
}

std::shared_ptr<StatusItem> StatusItemAccess::lookUp() const
{
    return StatusItemUtils::statusItem(m_application, StatusItemIdentity::index(m_index));
}

void StatusItemAccess::setupObservers()
{
    if (m_setupPhase == SetupPhase::notStarted) {
        m_setupPhase = SetupPhase::started;
        m_tasks.spawn([](StatusItemAccess *self) -> runtime::Task<void> {
            const bool found = co_await self->introspectStatusItem();
            self->m_setupPhase = found ? SetupPhase::succeeded : SetupPhase::failed;
            // The button may only now exist: watch it.
            if (found)
                self->setupObservers();
        }(this));
    }

    postAction([this] { m_observer = makeButtonStateObserver(); });

    postAction([this] {
        const auto forwardTo = [this](void (StatusItemAccess::*action)(Window &)) {
            return [this, action](const ObjectPtr &object) {
                if (StatusItemUtils::windowNotificationMatches(m_application, object, m_index))
                    StatusItemUtils::forwardWindowNotification(object, [this, action](Window &window) {
                        (this->*action)(window);
                    });
            };
        };
        m_windowDidBecomeKeyObserver = m_application.observe(WindowEvent::didBecomeKey,
                                                             forwardTo(&StatusItemAccess::extraWindowDidBecomeKey));
        m_windowDidResignKeyObserver = m_application.observe(WindowEvent::didResignKey,
                                                             forwardTo(&StatusItemAccess::extraWindowDidResignKey));
    });
}

runtime::Task<bool> StatusItemAccess::introspectStatusItem()
{
    // Measured on the clock the sleeps use, so a jump of the wall clock neither ends nor
    // stretches the search.
    const runtime::SteadyTime start = m_clock.steadyNow();
    while (true) {
        const bool cancelled = co_await runtime::isCancelled();
        if (cancelled)
            co_return false;
        if (m_clock.steadyNow() - start >= searchLimit)
            co_return false;
        if (const auto item = lookUp()) {
            if (m_statusItemIntrospection)
                m_statusItemIntrospection(*item);
            statusItemEnabledChanged(m_isStatusItemEnabled.value());
            co_return true;
        }
        try {
            co_await m_clock.sleepFor(searchInterval);
        } catch (const runtime::CancellationError &) {
        }
    }
}

void StatusItemAccess::menuPresentedChanged(bool presented)
{
    const bool desired = presented && m_isStatusItemEnabled.value();
    const auto item = lookUp();
    if (!item)
        return;
    const bool current = isCurrentlyPresented(*item);
    if (current == desired) {
        ext::updateHighlight(*item);
    } else if (desired) {
        if (const auto &button = item->button(); button && button->isEnabled())
            ext::togglePresented(*item);
    } else {
        ext::togglePresented(*item);
    }
}

void StatusItemAccess::statusItemEnabledChanged(bool enabled)
{
    if (!enabled && m_isMenuPresented.value()) {
        m_isMenuPresented.set(false);
        if (const auto item = lookUp()) {
            if (isCurrentlyPresented(*item))
                ext::togglePresented(*item);
            else
                ext::updateHighlight(*item);
        }
    }
    const auto item = lookUp();
    if (!item)
        return;
    if (const auto &button = item->button())
        button->setEnabled(enabled);
    if (enabled)
        ext::restoreExpandedInterfaceDelegate(*item);
    else
        ext::stashExpandedInterfaceDelegate(*item);
}

std::unique_ptr<ButtonStateObserver> StatusItemAccess::makeButtonStateObserver()
{
    const auto item = lookUp();
    if (!item || !item->button())
        return nullptr;
    return std::make_unique<ButtonStateObserver>(
        item->button(), [this](std::optional<ButtonState> newValue) { buttonStateChanged(newValue); }, m_executor);
}

void StatusItemAccess::buttonStateChanged(std::optional<ButtonState> newValue)
{
    const auto item = lookUp();
    if (!item || !StatusItemUtils::isMenuBased(*item) || !newValue)
        return;
    m_isMenuPresented.set(*newValue != ButtonState::off);
}

void StatusItemAccess::extraWindowDidBecomeKey(Window &)
{
    if (const auto item = lookUp(); item && !ext::usesExpandedInterface(*item) && item->button())
        item->button()->setState(ButtonState::on);
    m_isMenuPresented.set(true);
}

void StatusItemAccess::extraWindowDidResignKey(Window &window)
{
    const auto item = lookUp();
    if (item && ext::usesExpandedInterface(*item))
        ext::cancelExpandedInterfaceSession(*item);
    else if (window.isVisible())
        window.close();
    if (const auto again = lookUp(); again && !ext::usesExpandedInterface(*again) && again->button())
        again->button()->setState(ButtonState::off);
    m_isMenuPresented.set(false);
}

} // namespace vantora::statusitem
