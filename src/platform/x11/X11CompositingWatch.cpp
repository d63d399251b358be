#include "platform/x11/X11CompositingWatch.h"

#include "platform/x11/X11SelectionOwner.h"

namespace vantora::platform {

std::unique_ptr<X11CompositingWatch> X11CompositingWatch::open(const QByteArray &displayName)
{
    auto manager = X11SelectionOwner::open(displayName, "_NET_WM_CM_S");
    if (!manager)
        return nullptr;
    return std::unique_ptr<X11CompositingWatch>(new X11CompositingWatch(std::move(manager)));
}

X11CompositingWatch::X11CompositingWatch(std::unique_ptr<X11SelectionOwner> manager)
    : m_manager(std::move(manager))
    , m_compositing(m_manager->owner() != 0)
{
    connect(m_manager.get(), &X11SelectionOwner::ownerChanged, this, &X11CompositingWatch::ownerChanged);
}

X11CompositingWatch::~X11CompositingWatch() = default;

void X11CompositingWatch::ownerChanged()
{
    // A server that went away tells nothing more; what it said last stands.
    if (m_manager->hasFailed())
        return;
    const bool compositing = m_manager->owner() != 0;
    if (compositing == m_compositing)
        return;
    m_compositing = compositing;
    Q_EMIT compositingChanged();
}

} // namespace vantora::platform
