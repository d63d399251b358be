#include "EventLoopTesting.h"
#include "platform/avahi/PollWatch.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <string>

using namespace std::chrono_literals;
using vantora::platform::PollWatch;
using vantora::testing::waitForEvents;

namespace {

enum class ChannelKind { Pipe, SocketPair };

// Two connected non-blocking descriptors whose ends the test may close early. Data goes
// from the write end to the read end; a socket pair's ends can also go the other way.
class Channel final {
public:
    explicit Channel(ChannelKind kind = ChannelKind::Pipe)
    {
        int fds[2];
        const int made = kind == ChannelKind::Pipe ? ::pipe2(fds, O_NONBLOCK | O_CLOEXEC)
                                                   : ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds);
        if (made == 0) {
            m_readEnd = fds[0];
            m_writeEnd = fds[1];
        }
    }
    ~Channel()
    {
        closeReadEnd();
        closeWriteEnd();
    }
    Channel(const Channel &) = delete;
    Channel &operator=(const Channel &) = delete;

    int readEnd() const { return m_readEnd; }
    int writeEnd() const { return m_writeEnd; }
    bool writeByte() const { return ::write(m_writeEnd, "x", 1) == 1; }
    void closeReadEnd() { closeEnd(m_readEnd); }
    void closeWriteEnd() { closeEnd(m_writeEnd); }

private:
    static void closeEnd(int &fd)
    {
        if (fd >= 0)
            ::close(std::exchange(fd, -1));
    }

    int m_readEnd = -1;
    int m_writeEnd = -1;
};

enum class End { Read, Write };

} // namespace

TEST(PollWatch, ReportsWhatReallyHappenedToTheDescriptor)
{
    struct Row {
        std::string name;
        ChannelKind kind;
        End watched;
        PollWatch::Events wanted;
        std::function<void(Channel &)> prepare;
        PollWatch::Events expected;
    };
    const Row rows[] = {
        {"waiting data is readable", ChannelKind::Pipe, End::Read, PollWatch::Event::Readable,
         [](Channel &channel) { channel.writeByte(); }, PollWatch::Event::Readable},
        {"a closed writer is a hang-up, not data", ChannelKind::Pipe, End::Read, PollWatch::Event::Readable,
         [](Channel &channel) { channel.closeWriteEnd(); }, PollWatch::Event::HangUp},
        {"data then a closed writer is both", ChannelKind::Pipe, End::Read, PollWatch::Event::Readable,
         [](Channel &channel) {
             channel.writeByte();
             channel.closeWriteEnd();
         },
         PollWatch::Event::Readable | PollWatch::Event::HangUp},
        {"free space is writable", ChannelKind::Pipe, End::Write, PollWatch::Event::Writable, [](Channel &) {},
         PollWatch::Event::Writable},
        {"a closed reader is an error for the writer", ChannelKind::Pipe, End::Write, PollWatch::Event::Writable,
         [](Channel &channel) { channel.closeReadEnd(); }, PollWatch::Event::Writable | PollWatch::Event::Error},
        {"a socket wanted for reading is not reported writable", ChannelKind::SocketPair, End::Read,
         PollWatch::Event::Readable, [](Channel &channel) { channel.writeByte(); }, PollWatch::Event::Readable},
        {"a socket whose peer left is readable and hung up", ChannelKind::SocketPair, End::Read,
         PollWatch::Event::Readable, [](Channel &channel) { channel.closeWriteEnd(); },
         PollWatch::Event::Readable | PollWatch::Event::HangUp},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Channel channel(row.kind);
        ASSERT_GE(channel.readEnd(), 0);
        row.prepare(channel);

        std::unique_ptr<PollWatch> watch;
        PollWatch::Events reported;
        PollWatch::Events seenInside;
        int calls = 0;
        watch = std::make_unique<PollWatch>(row.watched == End::Read ? channel.readEnd() : channel.writeEnd(), row.wanted,
                                            [&](PollWatch::Events happened) {
                                                ++calls;
                                                reported = happened;
                                                seenInside = watch->happened();
                                                watch->setWanted({}); // level-triggered: once is enough
                                            });
        EXPECT_EQ(calls, 0) << "called back inside the constructor";

        ASSERT_TRUE(waitForEvents([&] { return calls > 0; }, 5s));
        EXPECT_EQ(reported, row.expected);
        EXPECT_EQ(seenInside, row.expected);
        EXPECT_EQ(watch->happened(), PollWatch::Events()) << "still set after the callback";
    }
}

TEST(PollWatch, WantingNothingSilencesTheWatchUntilItWantsAgain)
{
    Channel silenced;
    Channel control;
    ASSERT_TRUE(silenced.writeByte());
    ASSERT_TRUE(control.writeByte());

    int silencedCalls = 0;
    PollWatch silencedWatch(silenced.readEnd(), PollWatch::Event::Readable, [&](PollWatch::Events) { ++silencedCalls; });
    silencedWatch.setWanted({});
    int controlCalls = 0;
    std::unique_ptr<PollWatch> controlWatch;
    controlWatch = std::make_unique<PollWatch>(control.readEnd(), PollWatch::Event::Readable, [&](PollWatch::Events) {
        ++controlCalls;
        controlWatch->setWanted({});
    });

    // Both descriptors were ready from the start, so the loop saw them together.
    ASSERT_TRUE(waitForEvents([&] { return controlCalls > 0; }, 5s));
    EXPECT_EQ(silencedCalls, 0);

    silencedWatch.setWanted(PollWatch::Event::Readable);
    EXPECT_EQ(silencedCalls, 0) << "called back inside setWanted";
    EXPECT_TRUE(waitForEvents([&] { return silencedCalls > 0; }, 5s));
}

TEST(PollWatch, ACallbackMayDeleteItsOwnWatchAndAnotherReadyOne)
{
    Channel first;
    Channel second;
    Channel control;
    ASSERT_TRUE(first.writeByte());
    ASSERT_TRUE(second.writeByte());
    ASSERT_TRUE(control.writeByte());

    int calls = 0;
    std::unique_ptr<PollWatch> firstWatch;
    std::unique_ptr<PollWatch> secondWatch;
    const auto deleteBoth = [&](PollWatch::Events) {
        ++calls;
        firstWatch.reset();
        secondWatch.reset();
    };
    firstWatch = std::make_unique<PollWatch>(first.readEnd(), PollWatch::Event::Readable, deleteBoth);
    secondWatch = std::make_unique<PollWatch>(second.readEnd(), PollWatch::Event::Readable, deleteBoth);
    int controlCalls = 0;
    PollWatch controlWatch(control.readEnd(), PollWatch::Event::Readable, [&](PollWatch::Events) { ++controlCalls; });

    ASSERT_TRUE(waitForEvents([&] { return calls > 0 && controlCalls > 1; }, 5s));
    EXPECT_EQ(calls, 1);
}
