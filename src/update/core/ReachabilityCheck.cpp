#include "ReachabilityCheck.h"
#include "Ipv4Address.h"

bool Send_Ping(IIcmp_Echo& echo, IClock& clock, const QString& address, int& ping_res,
    const std::function<void()>& processEvents, QString& error)
{
    ping_res = Ping_No_Event;
    error.clear();
    const qint64 start = clock.Tick_Count_Ms();
    // Checked here as well as by the echo, so that no request ever leaves for such a text.
    if (!Parse_Numeric_IPv4(address))
        return false;
    int answers = 0;
    for (;;) {
        const qint64 attempt = clock.Tick_Count_Ms();
        const IIcmp_Echo::TReply reply = echo.Echo(address);
        if (reply.Result == IIcmp_Echo::TResult::Error) {
            error = reply.Error;
            return false;
        }
        // The reply event; then the window's pending messages, every 10 ms for as long as a
        // reply event is still awaited within the receive time-out.
        ping_res = reply.Result == IIcmp_Echo::TResult::Answered ? Ping_Answered : Ping_Not_Answered;
        processEvents();
        while (ping_res == Ping_No_Event && clock.Tick_Count_Ms() - attempt <= IIcmp_Echo::Timeout_Ms) {
            clock.Sleep_Ms(Ping_Wait_Step_Ms);
            processEvents();
        }
        if (ping_res == Ping_Answered && ++answers == Ping_Answers_Needed)
            break;
        if (clock.Tick_Count_Ms() - start > Ping_Limit_Ms)
            break;
    }
    return ping_res == Ping_Answered;
}
