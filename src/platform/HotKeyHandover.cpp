#include "platform/HotKeyHandover.h"

namespace vantora::platform {

HotKeyHandover::HotKeyHandover(std::unique_ptr<HotKeyBackend> first)
    : m_backend(std::move(first))
{
}

HotKeyHandover::~HotKeyHandover() = default;

void HotKeyHandover::handOver(std::unique_ptr<HotKeyBackend> next)
{
    Q_ASSERT(!m_isHandedOver && next);
    m_isHandedOver = true;
    for (auto &[ref, registration] : m_registrations) {
        if (const auto old = std::exchange(registration.ref, std::nullopt))
            m_backend->unregisterHotKey(*old);
    }
    m_backend->setEventsAttached(false);
    m_backend->installHandler({});
    m_backend = std::move(next);
    if (m_handler)
        m_backend->installHandler(m_handler);
    m_backend->setEventsAttached(m_attached);
    for (auto &[ref, registration] : m_registrations) {
        const HotKeyRegistration taken = m_backend->registerHotKey(registration.carbonKeyCode,
                                                                   registration.carbonModifiers, registration.hotKeyId);
        if (taken.succeeded())
            registration.ref = taken.ref;
    }
}

HotKeyRegistration HotKeyHandover::registerHotKey(quint32 carbonKeyCode, quint32 carbonModifiers, quint32 hotKeyId)
{
    const HotKeyRegistration taken = m_backend->registerHotKey(carbonKeyCode, carbonModifiers, hotKeyId);
    if (!taken.succeeded())
        return taken;
    const HotKeyRef ref = m_nextRef++;
    m_registrations.emplace(ref, Registration{carbonKeyCode, carbonModifiers, hotKeyId, taken.ref});
    return {HotKeyRegistration::Status::registered, ref};
}

void HotKeyHandover::unregisterHotKey(HotKeyRef ref)
{
    const auto registration = m_registrations.extract(ref);
    if (registration && registration.mapped().ref)
        m_backend->unregisterHotKey(*registration.mapped().ref);
}

bool HotKeyHandover::installHandler(EventHandler handler)
{
    // Kept for the next backend, also where the first cannot deliver events (no server).
    m_handler = std::move(handler);
    return m_backend->installHandler(m_handler);
}

void HotKeyHandover::setEventsAttached(bool attached)
{
    m_attached = attached;
    m_backend->setEventsAttached(attached);
}

bool HotKeyHandover::isTakenByAnotherProgram(quint32 carbonKeyCode, quint32 carbonModifiers)
{
    return m_backend->isTakenByAnotherProgram(carbonKeyCode, carbonModifiers);
}

std::vector<SystemHotKey> HotKeyHandover::systemHotKeys()
{
    return m_backend->systemHotKeys();
}

KeyRepeat HotKeyHandover::keyRepeat()
{
    return m_backend->keyRepeat();
}

bool HotKeyHandover::desktopDecides() const
{
    return m_backend->desktopDecides();
}

void HotKeyHandover::actionsChanged()
{
    m_backend->actionsChanged();
}

std::optional<DesktopBinding> HotKeyHandover::desktopBinding(quint32 carbonKeyCode, quint32 carbonModifiers) const
{
    return m_backend->desktopBinding(carbonKeyCode, carbonModifiers);
}

} // namespace vantora::platform
