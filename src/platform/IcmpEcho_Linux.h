#pragma once
#include "Platform.h"

// ICMP echo through a socket of the kernel. An ICMP datagram socket needs no privilege where
// net.ipv4.ping_group_range admits the user's group; a raw socket needs root or cap_net_raw.
class TIcmp_Echo_Linux final : public IIcmp_Echo {
public:
    enum class TSockets { Datagram_Then_Raw, Datagram_Only, Raw_Only };
    explicit TIcmp_Echo_Linux(TSockets sockets = TSockets::Datagram_Then_Raw)
        : Sockets(sockets)
    {
    }
    TReply Echo(const QString& address) override;

private:
    TSockets Sockets;
    quint16 Attempts = 0;
};
