#pragma once
#include "platform/Platform.h"
#include <functional>

// The status of the last echo, as the update window keeps it between its messages.
enum PingStatus { PingNoEvent = 0, PingAnswered = 1, PingNotAnswered = 2 };

constexpr int pingAnswersNeeded = 2;
constexpr int pingLimitMs = 5000;
constexpr int pingWaitStepMs = 10;

// Sends echo requests to `address` until pingAnswersNeeded have been answered or more than
// pingLimitMs have passed; true only when the last attempt was answered. `pingStatus` follows each reply
// (not reset between attempts); `processEvents` runs after every reply so the window stays
// live. An address that is not a numeric IPv4 address, or an echo that cannot be sent, ends
// the check at once with false, `pingStatus` unchanged and the echo's reason in `error`.
bool sendPing(IcmpEcho& echo, Clock& clock, const QString& address, int& pingStatus, const std::function<void()>& processEvents,
    QString& error);
