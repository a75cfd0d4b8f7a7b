#include "base/Constants.h"
#include "options/core/MakerWebSite.h"
#include "fakes/FakePlatform.h"
#include "platform/SystemHttpClient.h"
#include "options/LoopbackServer.h"
#include "support/TestSupport.h"
#include "options/core/VersionCheck.h"
#include "options/core/BackgroundVersionCheck.h"
#include <QTest>
#include <QThread>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QUrl>
#include <gtest/gtest.h>
#include <thread>

namespace {

// The version service's own address, moved to the stand-in server on this machine.
QString loopbackService(quint16 port)
{
    QUrl url(makerVersionService());
    url.setHost(QStringLiteral("127.0.0.1"));
    url.setPort(port);
    return url.toString();
}

} // namespace

TEST(VersionCheck, ConvVersion)
{
    const std::pair<QString, int> cases[] = {
        {"VER. 1.002", 1002},
        {"ver. 2.5", -1},
        {"VER.1.002", -1}, // no blank: "VR.1" is not a number
        {"VER. 1.0025", 1002},
        {"1.000", 1000}, // the configurator's own version has no blank
        {"VER. 1,002", 1002}, // the separator is skipped whatever it is
        {"VER.   1.002  ", 1002},
        {"VER. 1.00a", -1},
        {"VER. ", -1},
        {"", -1},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(versionNumber(text), expected) << text.toStdString();
}

TEST(VersionCheck, AnswersOfTheService)
{
    struct Case {
        QByteArray response;
        bool newer;
    };
    const Case cases[] = {
        {LoopbackServer::Answer("VER. 1.001"), true},
        {LoopbackServer::Answer("VER. 1.000"), false},
        {LoopbackServer::Answer("VER. 0.000"), false},
        {LoopbackServer::Answer("ver. 0.000"), false},
        {LoopbackServer::Answer("  \t VER. 1.001\r\n"), true},
        {LoopbackServer::Answer("\r\nVER. 2.000 \r\n\r\n"), true},
        {LoopbackServer::Answer("<!DOCTYPE html>\r\n<html><body><h1>Service unavailable</h1></body></html>"), false},
        {LoopbackServer::Answer("VER. 9.999", "404 Not Found"), false}, // an error status is a failure
        {LoopbackServer::Answer("VER. 9.999", "500 Internal Server Error"), false},
        {LoopbackServer::Answer(""), false},
        // Far more than any version answer: refused rather than read into memory.
        {LoopbackServer::Answer("VER. 9.999" + QByteArray(200000, ' ')), false},
    };
    SystemHttpClient http;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.response.left(80).toStdString());
        LoopbackServer server({c.response});
        EXPECT_EQ(checkVersion(http, loopbackService(server.port)), c.newer);
        EXPECT_EQ(server.Requests().size(), 1);
    }
}

TEST(VersionCheck, RequestIsHttp10WithTheTwoHeadersAndNoCookie)
{
    // The first answer sets a cookie; the second request must not send it back.
    LoopbackServer server({LoopbackServer::Answer("VER. 1.001", "200 OK", "Set-Cookie: session=abc123; Path=/\r\n"),
        LoopbackServer::Answer("VER. 1.001")});
    SystemHttpClient http;
    EXPECT_TRUE(checkVersion(http, loopbackService(server.port)));
    EXPECT_TRUE(checkVersion(http, loopbackService(server.port)));
    const QByteArrayList requests = server.Requests();
    ASSERT_EQ(requests.size(), 2);
    for (const QByteArray& request : requests) {
        const QStringList lines = QString::fromLatin1(request).split(QStringLiteral("\r\n"));
        EXPECT_EQ(lines[0], "GET /home/download/GetversionSW.asp?nomesw=SWQuelmor HTTP/1.0");
        EXPECT_EQ(lines.filter(QRegularExpression("^cookie:", QRegularExpression::CaseInsensitiveOption)), QStringList());
        EXPECT_EQ(lines.filter(QRegularExpression("^accept:", QRegularExpression::CaseInsensitiveOption)),
            QStringList{"Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8"});
        EXPECT_EQ(lines.filter(QRegularExpression("^user-agent:", QRegularExpression::CaseInsensitiveOption)),
            QStringList{"User-Agent: Mozilla/3.0 (compatible; Indy Library)"});
    }
}

TEST(VersionCheck, UnreachableOrSilentServerMeansNoNewerVersionWithinTheTimeOut)
{
    // A port that is bound but not listening refuses the connection.
    SystemHttpClient http(500, 1500);
    {
        const LoopbackSocket bound;
        EXPECT_FALSE(checkVersion(http, loopbackService(bound.port)));
    }

    // A server that accepts and never answers: the total time-out ends the wait.
    LoopbackServer silent({LoopbackServer::Answer("VER. 9.999")}, true);
    QElapsedTimer waited;
    waited.start();
    EXPECT_FALSE(checkVersion(http, loopbackService(silent.port)));
    EXPECT_LT(waited.elapsed(), 10000);
    EXPECT_EQ(silent.Requests().size(), 1);

    // The program's own limits keep the whole check under ten seconds.
    EXPECT_LE(SystemHttpClient::defaultConnectTimeoutMs, SystemHttpClient::defaultTotalTimeoutMs);
    EXPECT_LE(SystemHttpClient::defaultTotalTimeoutMs, 10000);
}

// The program ending drops a check under way: the system's client gives up at once instead of
// waiting for its time-out, and asks nothing more afterwards.
TEST(VersionCheck, AbortEndsTheRequestUnderWayAndEveryLaterOne)
{
    LoopbackServer silent({LoopbackServer::Answer("VER. 9.999")}, true);
    SystemHttpClient http(60000, 60000);
    QElapsedTimer waited;
    waited.start();
    std::thread program([&] {
        while (silent.Requests().isEmpty() && waited.elapsed() < 30000)
            QThread::msleep(10);
        http.abortAll();
    });
    const HttpClient::Reply reply = http.get(loopbackService(silent.port), {});
    program.join();
    EXPECT_FALSE(reply.ok);
    EXPECT_TRUE(reply.body.isEmpty());
    EXPECT_LT(waited.elapsed(), 30000);
    EXPECT_EQ(silent.Requests().size(), 1);

    const HttpClient::Reply later = http.get(loopbackService(silent.port), {});
    EXPECT_FALSE(later.ok);
    EXPECT_EQ(silent.Requests().size(), 1);
}

TEST(VersionCheck, FailedReplyIsNeverNewerWhateverItsBody)
{
    FakeHttpClient http;
    http.Next = {false, "VER. 9.999", "connection reset"};
    EXPECT_FALSE(checkVersion(http, "http://service.example/v"));
    EXPECT_EQ(http.Urls, QStringList{"http://service.example/v"});
}

// One check at a time, its answer on the caller's thread; dropping it ends a slow request.
TEST(BackgroundVersionCheck, OneAtATimeAndNeverWaitedOut)
{
    FakeHttpClient http;
    http.Next = {true, "VER. 1.001", {}};
    http.delayMs = 300;
    QList<bool> answers;
    {
        BackgroundVersionCheck check(http);
        QObject::connect(&check, &BackgroundVersionCheck::finished, [&](bool newer) { answers << newer; });
        EXPECT_TRUE(check.start("http://service.example/v"));
        EXPECT_FALSE(check.start("http://service.example/v"));
        EXPECT_TRUE(check.isRunning());
        EXPECT_TRUE(QTest::qWaitFor([&] { return !answers.isEmpty(); }, 5000));
        EXPECT_EQ(answers, QList<bool>{true});
        EXPECT_FALSE(check.isRunning());

        http.delayMs = 120000;
        EXPECT_TRUE(check.start("http://service.example/v"));
    }
    EXPECT_EQ(http.Urls.size(), 2);
    EXPECT_EQ(answers, QList<bool>{true}); // the dropped check answers nothing
}
