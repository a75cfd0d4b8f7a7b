#include "fakes/FakePlatform.h"
#include "update/core/ReachabilityCheck.h"
#include "support/TestSupport.h"
#include <gtest/gtest.h>

namespace {

using R = IcmpEcho::EchoStatus;

// Replies as letters: A answered, N not answered, E error; silence once the script ends.
std::deque<IcmpEcho::Reply> Script(const std::string& letters)
{
    std::deque<IcmpEcho::Reply> replies;
    for (char c : letters)
        replies.push_back(c == 'A' ? IcmpEcho::Reply{R::Answered, {}}
                : c == 'N'         ? IcmpEcho::Reply{R::NotAnswered, {}}
                                   : IcmpEcho::Reply{R::Error, QStringLiteral("socket refused")});
    return replies;
}

} // namespace

TEST(ReachabilityCheck, FollowsTheLastAttemptWithinTheLimit)
{
    struct Case {
        const char* name;
        const char* address;
        std::string replies;
        qint64 costMs; // time one request takes
        bool answered;
        int pingRes;
        int echoes;
        qint64 elapsedMs;
        QString error;
    };
    const Case cases[] = {
        {"two answers end the check", "127.0.0.1", "AA", 3, true, 1, 2, 6, {}},
        {"instant answers end it too", "127.0.0.1", "AA", 0, true, 1, 2, 0, {}},
        {"silence until more than 5 s", "127.0.0.1", "", 400, false, 2, 13, 5200, {}},
        {"answer then silence", "127.0.0.1", "A", 400, false, 2, 13, 5200, {}},
        {"answers after silence", "127.0.0.1", "NNAA", 400, true, 1, 4, 1600, {}},
        {"only the last attempt answered", "127.0.0.1", "NNNNNNNNNNNNA", 400, true, 1, 13, 5200, {}},
        {"second answer on the last attempt", "127.0.0.1", "ANNNNNNNNNNNA", 400, true, 1, 13, 5200, {}},
        {"exactly 5000 ms goes on", "127.0.0.1", "", 500, false, 2, 11, 5500, {}},
        {"error at once", "127.0.0.1", "E", 0, false, 0, 1, 0, "socket refused"},
        {"error after an answer keeps the status", "127.0.0.1", "AE", 400, false, 1, 2, 800, "socket refused"},
        {"error after silence keeps the status", "127.0.0.1", "NE", 400, false, 2, 2, 800, "socket refused"},
        {"octet 300", "127.0.0.300", "AA", 0, false, 0, 0, 0, {}},
        {"letters", "127.0.abc.1", "AA", 0, false, 0, 0, 0, {}},
        {"three parts", "10.1.2", "AA", 0, false, 0, 0, 0, {}},
        {"a name", "localhost", "AA", 0, false, 0, 0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakePlatform fakes;
        fakes.icmpEcho.Replies = Script(c.replies);
        fakes.icmpEcho.costMs = c.costMs;
        const qint64 start = fakes.clock.Now;
        int pingRes = 7;
        int processed = 0;
        QString error = "stale";
        const bool answered = sendPing(
            fakes.icmpEcho, fakes.clock, c.address, pingRes, [&] { ++processed; }, error);
        EXPECT_EQ(answered, c.answered);
        EXPECT_EQ(pingRes, c.pingRes);
        EXPECT_EQ(fakes.icmpEcho.Addresses.size(), c.echoes);
        EXPECT_EQ(fakes.clock.Now - start, c.elapsedMs);
        EXPECT_EQ(error, c.error);
        // The window's messages are processed after every reply.
        EXPECT_EQ(processed, c.echoes - (c.error.isEmpty() ? 0 : 1));
        for (const QString& sent : fakes.icmpEcho.Addresses)
            EXPECT_EQ(sent, c.address);
    }
}
