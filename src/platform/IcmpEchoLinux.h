#pragma once
#include "platform/Platform.h"

// ICMP echo through a socket of the kernel. An ICMP datagram socket needs no privilege where
// net.ipv4.ping_group_range admits the user's group; a raw socket needs root or cap_net_raw.
class IcmpEchoLinux final : public IcmpEcho {
public:
    enum class Sockets { DatagramThenRaw, DatagramOnly, RawOnly };
    explicit IcmpEchoLinux(Sockets tried = Sockets::DatagramThenRaw)
        : sockets(tried)
    {
    }
    Reply echo(const QString& address) override;

private:
    Sockets sockets;
    quint16 attempts = 0;
};
