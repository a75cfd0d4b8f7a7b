#include "update/core/ReachabilityCheck.h"
#include "platform/Ipv4Address.h"

bool sendPing(IcmpEcho& echo, Clock& clock, const QString& address, int& pingStatus, const std::function<void()>& processEvents,
    QString& error)
{
    pingStatus = PingNoEvent;
    error.clear();
    const qint64 start = clock.tickCountMs();
    // Checked here as well as by the echo, so that no request ever leaves for such a text.
    if (!parseNumericIPv4(address))
        return false;
    int answers = 0;
    for (;;) {
        const qint64 attempt = clock.tickCountMs();
        const IcmpEcho::Reply reply = echo.echo(address);
        if (reply.result == IcmpEcho::EchoStatus::Error) {
            error = reply.error;
            return false;
        }
        // The reply event; then the window's pending messages, every 10 ms for as long as a
        // reply event is still awaited within the receive time-out.
        pingStatus = reply.result == IcmpEcho::EchoStatus::Answered ? PingAnswered : PingNotAnswered;
        processEvents();
        while (pingStatus == PingNoEvent && clock.tickCountMs() - attempt <= IcmpEcho::timeoutMs) {
            clock.sleepMs(pingWaitStepMs);
            processEvents();
        }
        if (pingStatus == PingAnswered && ++answers == pingAnswersNeeded)
            break;
        if (clock.tickCountMs() - start > pingLimitMs)
            break;
    }
    return pingStatus == PingAnswered;
}
