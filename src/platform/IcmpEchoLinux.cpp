#include "platform/IcmpEchoLinux.h"
#include "platform/Ipv4Address.h"
#include "platform/SystemServices.h"
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

constexpr quint8 echoRequest = 8;
constexpr quint8 echoReply = 0;
constexpr int headerSize = 8;

struct Socket {
    int fd = -1;
    bool raw = false;
    ~Socket()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

QString errnoText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

IcmpEcho::Reply failed(const QString& why) { return {IcmpEcho::EchoStatus::Error, why}; }

quint16 checksum(const quint8* data, size_t size)
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

IcmpEcho::Reply IcmpEchoLinux::echo(const QString& address)
{
    const auto target = parseNumericIPv4(address);
    if (!target)
        return failed(QStringLiteral("\"%1\" is not a numeric IPv4 address").arg(address));

    Socket sock;
    QStringList refused;
    if (sockets != Sockets::RawOnly) {
        sock.fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
        if (sock.fd < 0)
            refused << QStringLiteral("ICMP datagram socket: %1").arg(errnoText(errno));
    }
    if (sock.fd < 0 && sockets != Sockets::DatagramOnly) {
        sock.fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
        sock.raw = true;
        if (sock.fd < 0)
            refused << QStringLiteral("raw socket: %1").arg(errnoText(errno));
    }
    if (sock.fd < 0)
        return failed(QStringLiteral("ICMP echo is not permitted to this program (%1). Allow the user's group in "
                                     "net.ipv4.ping_group_range, or give the program the cap_net_raw capability "
                                     "(setcap cap_net_raw+ep <program>), as the system's ping has.")
                          .arg(refused.join(QStringLiteral("; "))));

    // A raw socket sees every echo reply of the host: a fresh identifier per attempt tells ours
    // apart, also from a late answer to an earlier attempt. A datagram socket gets only its own
    // replies (the kernel sets the identifier).
    const quint16 id = static_cast<quint16>(::getpid() * 31 + ++attempts);
    quint8 packet[packetSize] = {};
    packet[0] = echoRequest;
    packet[4] = static_cast<quint8>(id >> 8);
    packet[5] = static_cast<quint8>(id);
    // Sequence number 0 (bytes 6 and 7); the data is a plain pattern.
    for (int i = headerSize; i < packetSize; ++i)
        packet[i] = static_cast<quint8>(i);
    const quint16 sum = checksum(packet, sizeof packet);
    packet[2] = static_cast<quint8>(sum >> 8);
    packet[3] = static_cast<quint8>(sum);

    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(*target);
    if (::sendto(sock.fd, packet, sizeof packet, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to)
        != static_cast<ssize_t>(sizeof packet))
        return failed(QStringLiteral("Cannot send the echo request to %1: %2").arg(address, errnoText(errno)));

    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - clock::now()).count();
        if (left <= 0)
            return {EchoStatus::NotAnswered, {}};
        pollfd wait{sock.fd, POLLIN, 0};
        const int ready = ::poll(&wait, 1, static_cast<int>(left));
        if (ready < 0 && errno != EINTR)
            return failed(QStringLiteral("Cannot wait for the echo reply: %1").arg(errnoText(errno)));
        if (ready <= 0)
            continue;
        quint8 reply[packetSize + 128];
        sockaddr_in from{};
        socklen_t fromSize = sizeof from;
        const ssize_t size = ::recvfrom(sock.fd, reply, sizeof reply, 0, reinterpret_cast<sockaddr*>(&from), &fromSize);
        if (size < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return failed(QStringLiteral("Cannot receive the echo reply: %1").arg(errnoText(errno)));
        }
        // A raw socket delivers the IP header too.
        const size_t offset = sock.raw && size > 0 ? static_cast<size_t>(reply[0] & 0x0F) * 4 : 0;
        if (static_cast<size_t>(size) < offset + headerSize || from.sin_addr.s_addr != to.sin_addr.s_addr)
            continue;
        const quint8* icmp = reply + offset;
        const bool ours = icmp[0] == echoReply && icmp[6] == 0 && icmp[7] == 0
            && (!sock.raw || (icmp[4] == packet[4] && icmp[5] == packet[5]));
        if (ours)
            return {EchoStatus::Answered, {}};
    }
}

std::unique_ptr<IcmpEcho> makeSystemIcmpEcho() { return std::make_unique<IcmpEchoLinux>(); }
