#include "Ipv4Address.h"
#include "SystemServices.h"
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

QString Last_Error_Text(DWORD error)
{
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const QString result = text ? QString::fromWCharArray(text).trimmed() : QStringLiteral("error %1").arg(error);
    LocalFree(text);
    return result;
}

// The system's ICMP service: no privilege needed.
class TIcmp_Echo_Windows final : public IIcmp_Echo {
public:
    TReply Echo(const QString& address) override
    {
        const auto target = Parse_Numeric_IPv4(address);
        if (!target)
            return {TResult::Error, QStringLiteral("\"%1\" is not a numeric IPv4 address").arg(address)};
        const HANDLE icmp = IcmpCreateFile();
        if (icmp == INVALID_HANDLE_VALUE)
            return {TResult::Error, QStringLiteral("Cannot open the ICMP service: %1").arg(Last_Error_Text(GetLastError()))};

        constexpr int Data_Size = Packet_Size - 8; // the system adds the 8-byte ICMP header
        std::vector<char> data(Data_Size, 'E');
        // Room for the reply, its data, an ICMP error message (8 bytes) and an IO_STATUS_BLOCK (two pointers).
        std::vector<char> reply(sizeof(ICMP_ECHO_REPLY) + Data_Size + 8 + 2 * sizeof(void*));
        const auto started = std::chrono::steady_clock::now();
        const DWORD count = IcmpSendEcho2(icmp, nullptr, nullptr, nullptr, htonl(*target), data.data(), Data_Size, nullptr,
            reply.data(), static_cast<DWORD>(reply.size()), Timeout_Ms);
        const DWORD error = count == 0 ? GetLastError() : 0;
        IcmpCloseHandle(icmp);

        if (count > 0 && reinterpret_cast<const ICMP_ECHO_REPLY*>(reply.data())->Status == IP_SUCCESS)
            return {TResult::Answered, {}};
        // IP_* statuses (time-out, unreachable...) mean no answer; anything else is a failure.
        if (count == 0 && (error < IP_STATUS_BASE || error > MAX_IP_STATUS))
            return {TResult::Error, QStringLiteral("Cannot send the echo request to %1: %2").arg(address, Last_Error_Text(error))};
        // "Unreachable" may come at once: keep the promised time-out so callers never flood.
        const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();
        if (spent < Timeout_Ms)
            QThread::msleep(static_cast<unsigned long>(Timeout_Ms - spent));
        return {TResult::Not_Answered, {}};
    }
};

} // namespace

std::unique_ptr<IIcmp_Echo> Make_System_Icmp_Echo() { return std::make_unique<TIcmp_Echo_Windows>(); }
