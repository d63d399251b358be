#include "app/ProcessExitHook.h"

#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

using vantora::ProcessExitHook;

namespace {

void say(const char *text)
{
    std::fputs(text, stderr);
    std::fflush(stderr);
}

TEST(ProcessExitHookDeathTest, RunsWhenTheProcessExitsWhileItLivesAndNotAfterItWent)
{
    EXPECT_EXIT(
        {
            ProcessExitHook hook([] { say("session ended"); });
            std::exit(1);
        },
        ::testing::ExitedWithCode(1), "session ended");

    EXPECT_EXIT(
        {
            { ProcessExitHook gone([] { say("session ended"); }); }
            ProcessExitHook current([] { say("the current one"); });
            std::exit(2);
        },
        ::testing::ExitedWithCode(2), "^the current one$");
}

} // namespace
