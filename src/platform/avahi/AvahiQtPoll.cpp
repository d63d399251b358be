#include "platform/avahi/AvahiQtPoll.h"

#include "platform/avahi/PollTimeout.h"
#include "platform/avahi/PollWatch.h"

#include <avahi-common/watch.h>

#include <sys/time.h>

#include <chrono>
#include <optional>

using vantora::platform::PollTimeout;
using vantora::platform::PollWatch;

// Avahi leaves these two types for the main-loop adapter to define.
struct AvahiWatch final {
    AvahiWatch(int fd, AvahiWatchEvent wanted, AvahiWatchCallback callback, void *userdata)
        : watch(fd, PollWatch::Events::fromInt(wanted), [this, fd, callback, userdata](PollWatch::Events happened) {
            callback(this, fd, AvahiWatchEvent(happened.toInt()), userdata);
        })
    {
    }

    PollWatch watch;
};

struct AvahiTimeout final {
    AvahiTimeout(AvahiTimeoutCallback callback, void *userdata)
        : timeout([this, callback, userdata] { callback(this, userdata); })
    {
    }

    PollTimeout timeout;
};

namespace vantora::platform {

namespace {

static_assert(int(PollWatch::Event::Readable) == AVAHI_WATCH_IN);
static_assert(int(PollWatch::Event::Writable) == AVAHI_WATCH_OUT);
static_assert(int(PollWatch::Event::Error) == AVAHI_WATCH_ERR);
static_assert(int(PollWatch::Event::HangUp) == AVAHI_WATCH_HUP);

std::optional<runtime::WallTime> wallTimeOf(const struct timeval *tv)
{
    // Avahi's deadlines are gettimeofday() times; the system clock counts from the same epoch.
    if (!tv)
        return std::nullopt;
    return runtime::WallTime(std::chrono::duration_cast<runtime::WallTime::duration>(
        std::chrono::seconds(tv->tv_sec) + std::chrono::microseconds(tv->tv_usec)));
}

AvahiWatch *watchNew(const AvahiPoll *, int fd, AvahiWatchEvent wanted, AvahiWatchCallback callback, void *userdata)
{
    return new AvahiWatch(fd, wanted, callback, userdata);
}

void watchUpdate(AvahiWatch *watch, AvahiWatchEvent wanted)
{
    watch->watch.setWanted(PollWatch::Events::fromInt(wanted));
}

AvahiWatchEvent watchGetEvents(AvahiWatch *watch)
{
    return AvahiWatchEvent(watch->watch.happened().toInt());
}

void watchFree(AvahiWatch *watch)
{
    delete watch;
}

AvahiTimeout *timeoutNew(const AvahiPoll *, const struct timeval *tv, AvahiTimeoutCallback callback, void *userdata)
{
    auto *timeout = new AvahiTimeout(callback, userdata);
    timeout->timeout.setDeadline(wallTimeOf(tv));
    return timeout;
}

void timeoutUpdate(AvahiTimeout *timeout, const struct timeval *tv)
{
    timeout->timeout.setDeadline(wallTimeOf(tv));
}

void timeoutFree(AvahiTimeout *timeout)
{
    delete timeout;
}

} // namespace

AvahiQtPoll::AvahiQtPoll()
    : m_api(std::make_unique<AvahiPoll>(AvahiPoll{
          nullptr, watchNew, watchUpdate, watchGetEvents, watchFree, timeoutNew, timeoutUpdate, timeoutFree}))
{
}

AvahiQtPoll::~AvahiQtPoll() = default;

} // namespace vantora::platform
