#include "platform/IcmpEchoLinux.h"
#include "platform/Ipv4Address.h"
#include "support/TestSupport.h"
#include <gtest/gtest.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Sockets = IcmpEchoLinux::Sockets;

// The error of an echo that may not open any socket says why and how to allow it.
void expectClearRefusal(const IcmpEcho::Reply& reply)
{
    EXPECT_EQ(reply.result, IcmpEcho::EchoStatus::Error);
    EXPECT_TRUE(reply.error.contains("not permitted")) << reply.error.toStdString();
    EXPECT_TRUE(reply.error.contains("cap_net_raw")) << reply.error.toStdString();
}

} // namespace

TEST(Ipv4Address, NumericDottedOnly)
{
    struct Case {
        const char* text;
        std::optional<quint32> address;
    };
    const Case cases[] = {
        {"127.0.0.1", 0x7F000001},
        {"127.000.000.005", 0x7F000005}, // leading zeros kept decimal
        {"10.010.0.1", 0x0A0A0001}, // decimal, never octal
        {"255.255.255.255", 0xFFFFFFFF},
        {"0.0.0.0", 0},
        {"1.2.3.300", std::nullopt},
        {"1.2.3.256", std::nullopt},
        {"1.2.abc.4", std::nullopt},
        {"1.2.3", std::nullopt},
        {"1.2.3.4.5", std::nullopt},
        {"1.2..4", std::nullopt},
        {"1.2.3.0004", std::nullopt},
        {" 1.2.3.4", std::nullopt},
        {"1.2.3.4 ", std::nullopt},
        {"1.2.3.-4", std::nullopt},
        {"0x7f.0.0.1", std::nullopt},
        {"localhost", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseNumericIPv4(QString::fromLatin1(c.text)), c.address) << c.text;
}

TEST(IcmpEchoLinux, AddressThatIsNotNumericIsAnErrorWithoutLookUp)
{
    IcmpEchoLinux echo;
    for (const char* text : {"127.0.0.300", "abc", "localhost", "127.0.1", ""}) {
        const auto reply = echo.echo(QString::fromLatin1(text));
        EXPECT_EQ(reply.result, IcmpEcho::EchoStatus::Error) << text;
        EXPECT_TRUE(reply.error.contains("not a numeric IPv4 address")) << reply.error.toStdString();
    }
}

// Loopback answers through every kind of socket the system permits; a refused socket is
// reported clearly instead.
TEST(IcmpEchoLinux, LoopbackAnswers)
{
    struct Case {
        const char* name;
        Sockets sockets;
    };
    const Case cases[] = {{"datagram, then raw", Sockets::DatagramThenRaw}, {"datagram only", Sockets::DatagramOnly},
        {"raw only", Sockets::RawOnly}};
    bool any = false;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IcmpEchoLinux echo(c.sockets);
        for (int attempt = 0; attempt < 3; ++attempt) {
            const auto reply = echo.echo("127.0.0.1");
            if (reply.result == IcmpEcho::EchoStatus::Answered) {
                any = true;
                continue;
            }
            expectClearRefusal(reply);
            std::cout << "[ note     ] " << c.name << ": " << reply.error.toStdString() << "\n";
            break;
        }
    }
    if (!any)
        GTEST_SKIP() << "this system permits no ICMP socket to the test (as reported above)";
}

// Run as root, an ordinary user gets the datagram socket where ping_group_range allows it,
// otherwise the clear refusal; never a silent failure.
TEST(IcmpEchoLinux, OrdinaryUserGetsAnAnswerOrAClearRefusal)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to become an ordinary user";
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(out[0]);
        QByteArray report;
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) {
            report = "skip";
        } else {
            const auto reply = IcmpEchoLinux().echo("127.0.0.1");
            report = reply.result == IcmpEcho::EchoStatus::Answered ? QByteArray("answered")
                : reply.result == IcmpEcho::EchoStatus::NotAnswered ? QByteArray("silent")
                                                                    : "error:" + reply.error.toUtf8();
        }
        (void)!::write(out[1], report.constData(), static_cast<size_t>(report.size()));
        ::_exit(0);
    }
    ::close(out[1]);
    QByteArray report;
    char buffer[1024];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, n);
    ::close(out[0]);
    ::waitpid(child, nullptr, 0);
    if (report == "skip")
        GTEST_SKIP() << "cannot become an ordinary user here";
    if (report != "answered")
        expectClearRefusal({IcmpEcho::EchoStatus::Error, QString::fromUtf8(report.mid(6))});
    std::cout << "[ note     ] ordinary user: " << report.toStdString() << "\n";
}
