#include "platform/Ipv4Address.h"
#include "platform/SystemServices.h"
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <icmpapi.h>
// clang-format on
#include <QThread>
#include <chrono>
#include <vector>

namespace {

QString lastErrorText(DWORD error)
{
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const QString result = text ? QString::fromWCharArray(text).trimmed() : QStringLiteral("error %1").arg(error);
    LocalFree(text);
    return result;
}

// The system's ICMP service: no privilege needed.
class IcmpEchoWindows final : public IcmpEcho {
public:
    Reply echo(const QString& address) override
    {
        const auto target = parseNumericIPv4(address);
        if (!target)
            return {EchoStatus::Error, QStringLiteral("\"%1\" is not a numeric IPv4 address").arg(address)};
        const HANDLE icmp = IcmpCreateFile();
        if (icmp == INVALID_HANDLE_VALUE)
            return {EchoStatus::Error, QStringLiteral("Cannot open the ICMP service: %1").arg(lastErrorText(GetLastError()))};

        constexpr int dataSize = packetSize - 8; // the system adds the 8-byte ICMP header
        std::vector<char> data(dataSize, 'E');
        // Room for the reply, its data, an ICMP error message (8 bytes) and an IO_STATUS_BLOCK (two pointers).
        std::vector<char> reply(sizeof(ICMP_ECHO_REPLY) + dataSize + 8 + 2 * sizeof(void*));
        const auto started = std::chrono::steady_clock::now();
        const DWORD count = IcmpSendEcho2(icmp, nullptr, nullptr, nullptr, htonl(*target), data.data(), dataSize, nullptr,
            reply.data(), static_cast<DWORD>(reply.size()), timeoutMs);
        const DWORD error = count == 0 ? GetLastError() : 0;
        IcmpCloseHandle(icmp);

        if (count > 0 && reinterpret_cast<const ICMP_ECHO_REPLY*>(reply.data())->Status == IP_SUCCESS)
            return {EchoStatus::Answered, {}};
        // IP_* statuses (time-out, unreachable...) mean no answer; anything else is a failure.
        if (count == 0 && (error < IP_STATUS_BASE || error > MAX_IP_STATUS))
            return {
                EchoStatus::Error, QStringLiteral("Cannot send the echo request to %1: %2").arg(address, lastErrorText(error))};
        // "Unreachable" may come at once: keep the promised time-out so callers never flood.
        const auto spent
            = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();
        if (spent < timeoutMs)
            QThread::msleep(static_cast<unsigned long>(timeoutMs - spent));
        return {EchoStatus::NotAnswered, {}};
    }
};

} // namespace

std::unique_ptr<IcmpEcho> makeSystemIcmpEcho() { return std::make_unique<IcmpEchoWindows>(); }
