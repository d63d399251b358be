#include "app/QuitSignals.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>

using namespace vantora;

namespace {

// The handler interrupts whatever the process was doing, which may be about to read errno
// (an interrupted poll checks it for EINTR); its own failing write must not change it.
TEST(QuitSignals, TheHandlerLeavesErrnoAsItFoundIt)
{
    QuitSignals quitSignals;
    // No event loop runs here to drain the pipe: enough signals fill it, after which the
    // handler's write fails.
    for (int signal = 0; signal < 70000; ++signal)
        std::raise(SIGHUP);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        errno = EINTR;
        std::raise(signal);
        EXPECT_EQ(errno, EINTR) << signal;
    }
}

} // namespace
