#include "IcmpEcho_Linux.h"
#include "Ipv4Address.h"
#include "SystemServices.h"
#include <QStringList>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr quint8 Echo_Request = 8;
constexpr quint8 Echo_Reply = 0;
constexpr int Header_Size = 8;

struct TSocket {
    int Fd = -1;
    bool Raw = false;
    ~TSocket()
    {
        if (Fd >= 0)
            ::close(Fd);
    }
};

QString Errno_Text(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

IIcmp_Echo::TReply Failed(const QString& why) { return {IIcmp_Echo::TResult::Error, why}; }

quint16 Checksum(const quint8* data, size_t size)
{
    quint32 sum = 0;
    for (size_t i = 0; i + 1 < size; i += 2)
        sum += static_cast<quint32>(data[i] << 8 | data[i + 1]);
    if (size % 2)
        sum += static_cast<quint32>(data[size - 1] << 8);
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<quint16>(~sum);
}

} // namespace

IIcmp_Echo::TReply TIcmp_Echo_Linux::Echo(const QString& address)
{
    const auto target = Parse_Numeric_IPv4(address);
    if (!target)
        return Failed(QStringLiteral("\"%1\" is not a numeric IPv4 address").arg(address));

    TSocket sock;
    QStringList refused;
    if (Sockets != TSockets::Raw_Only) {
        sock.Fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
        if (sock.Fd < 0)
            refused << QStringLiteral("ICMP datagram socket: %1").arg(Errno_Text(errno));
    }
    if (sock.Fd < 0 && Sockets != TSockets::Datagram_Only) {
        sock.Fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
        sock.Raw = true;
        if (sock.Fd < 0)
            refused << QStringLiteral("raw socket: %1").arg(Errno_Text(errno));
    }
    if (sock.Fd < 0)
        return Failed(QStringLiteral("ICMP echo is not permitted to this program (%1). Allow the user's group in "
                                     "net.ipv4.ping_group_range, or give the program the cap_net_raw capability "
                                     "(setcap cap_net_raw+ep <program>), as the system's ping has.")
                          .arg(refused.join(QStringLiteral("; "))));

    // A raw socket sees every echo reply of the host: a fresh identifier per attempt tells ours
    // apart, also from a late answer to an earlier attempt. A datagram socket gets only its own
    // replies (the kernel sets the identifier).
    const quint16 id = static_cast<quint16>(::getpid() * 31 + ++Attempts);
    quint8 packet[Packet_Size] = {};
    packet[0] = Echo_Request;
    packet[4] = static_cast<quint8>(id >> 8);
    packet[5] = static_cast<quint8>(id);
    // Sequence number 0 (bytes 6 and 7); the data is a plain pattern.
    for (int i = Header_Size; i < Packet_Size; ++i)
        packet[i] = static_cast<quint8>(i);
    const quint16 sum = Checksum(packet, sizeof packet);
    packet[2] = static_cast<quint8>(sum >> 8);
    packet[3] = static_cast<quint8>(sum);

    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(*target);
    if (::sendto(sock.Fd, packet, sizeof packet, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to) != static_cast<ssize_t>(sizeof packet))
        return Failed(QStringLiteral("Cannot send the echo request to %1: %2").arg(address, Errno_Text(errno)));

    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(Timeout_Ms);
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return {TResult::Not_Answered, {}};
        pollfd wait{sock.Fd, POLLIN, 0};
        const int ready = ::poll(&wait, 1, static_cast<int>(left));
        if (ready < 0 && errno != EINTR)
            return Failed(QStringLiteral("Cannot wait for the echo reply: %1").arg(Errno_Text(errno)));
        if (ready <= 0)
            continue;
        quint8 reply[Packet_Size + 128];
        sockaddr_in from{};
        socklen_t fromSize = sizeof from;
        const ssize_t size = ::recvfrom(sock.Fd, reply, sizeof reply, 0, reinterpret_cast<sockaddr*>(&from), &fromSize);
        if (size < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return Failed(QStringLiteral("Cannot receive the echo reply: %1").arg(Errno_Text(errno)));
        }
        // A raw socket delivers the IP header too.
        const size_t offset = sock.Raw && size > 0 ? static_cast<size_t>(reply[0] & 0x0F) * 4 : 0;
        if (static_cast<size_t>(size) < offset + Header_Size || from.sin_addr.s_addr != to.sin_addr.s_addr)
            continue;
        const quint8* icmp = reply + offset;
        const bool ours = icmp[0] == Echo_Reply && icmp[6] == 0 && icmp[7] == 0
            && (!sock.Raw || (icmp[4] == packet[4] && icmp[5] == packet[5]));
        if (ours)
            return {TResult::Answered, {}};
    }
}

std::unique_ptr<IIcmp_Echo> Make_System_Icmp_Echo() { return std::make_unique<TIcmp_Echo_Linux>(); }
