#include "platform/avahi/PollWatch.h"

#include <QSocketNotifier>

#include <poll.h>

namespace vantora::platform {

static_assert(int(PollWatch::Event::Readable) == POLLIN);
static_assert(int(PollWatch::Event::Writable) == POLLOUT);
static_assert(int(PollWatch::Event::Error) == POLLERR);
static_assert(int(PollWatch::Event::HangUp) == POLLHUP);

PollWatch::PollWatch(int fd, Events wanted, Callback callback)
    : m_fd(fd)
    , m_callback(std::move(callback))
    , m_readNotifier(std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read))
    , m_writeNotifier(std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write))
{
    for (QSocketNotifier *notifier : {m_readNotifier.get(), m_writeNotifier.get()})
        QObject::connect(notifier, &QSocketNotifier::activated, notifier, [this] { onActivated(); });
    setWanted(wanted);
}

PollWatch::~PollWatch() = default;

void PollWatch::setWanted(Events wanted)
{
    m_wanted = wanted;
    // Qt's read notifiers also wake for error and hang-up, as poll(2) reports those unasked.
    m_readNotifier->setEnabled(wanted.testAnyFlags(Event::Readable | Event::Error | Event::HangUp));
    m_writeNotifier->setEnabled(wanted.testFlag(Event::Writable));
}

void PollWatch::onActivated()
{
    // A notifier only says "something"; ask the descriptor what, so that a hang-up is not
    // mistaken for data. Nothing at all means the wake-up was stale.
    pollfd probe{m_fd, short(m_wanted.toInt()), 0};
    if (::poll(&probe, 1, 0) <= 0)
        return;
    const Events happened = Events::fromInt(probe.revents) & (m_wanted | Event::Error | Event::HangUp);
    if (!happened)
        return;

    m_happened = happened;
    const std::weak_ptr<char> alive = m_lifetime;
    const Callback callback = m_callback; // outlives the watch should the callback delete it
    callback(happened);
    if (!alive.expired())
        m_happened = {};
}

} // namespace vantora::platform
