#pragma once
#include "Platform.h"
#include <functional>

// The status of the last echo, as the update window keeps it between its messages.
enum TPing_Status { Ping_No_Event = 0, Ping_Answered = 1, Ping_Not_Answered = 2 };

constexpr int Ping_Answers_Needed = 2;
constexpr int Ping_Limit_Ms = 5000;
constexpr int Ping_Wait_Step_Ms = 10;

// Sends echo requests to `address` until two have been answered or more than 5000 ms have
// passed; true only when the last attempt was answered. `ping_res` follows each reply
// (not reset between attempts); `processEvents` runs after every reply so the window stays
// live. An address that is not a numeric IPv4 address, or an echo that cannot be sent, ends
// the check at once with false, `ping_res` unchanged and the echo's reason in `error`.
bool Send_Ping(IIcmp_Echo& echo, IClock& clock, const QString& address, int& ping_res,
    const std::function<void()>& processEvents, QString& error);
