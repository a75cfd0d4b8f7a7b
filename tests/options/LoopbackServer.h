#pragma once
#include <QByteArray>
#include <QByteArrayList>
#include <QString>
#include <QtGlobal>
#include <atomic>
#include <deque>
#include <mutex>
#include <thread>
#ifdef Q_OS_WIN
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

// A TCP socket bound to 127.0.0.1 on an ephemeral port, closed with the object; bound but not
// listening, it refuses connections. POSIX sockets or Winsock.
class LoopbackSocket {
public:
#ifdef Q_OS_WIN
    using Handle = SOCKET;
    static constexpr Handle none = INVALID_SOCKET;
#else
    using Handle = int;
    static constexpr Handle none = -1;
#endif

    LoopbackSocket()
    {
#ifdef Q_OS_WIN
        static const bool started = [] {
            WSADATA data;
            return WSAStartup(MAKEWORD(2, 2), &data) == 0;
        }();
        if (!started)
            qFatal("loopback socket: no Winsock");
#endif
        handle = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (handle == none || bind(handle, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
            || getsockname(handle, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            qFatal("loopback socket: cannot bind");
        port = ntohs(address.sin_port);
    }
    explicit LoopbackSocket(Handle accepted)
        : handle(accepted)
    {
    }
    ~LoopbackSocket() { close(handle); }
    LoopbackSocket(const LoopbackSocket&) = delete;
    LoopbackSocket& operator=(const LoopbackSocket&) = delete;

    // Waits up to `ms` for input (or a connection to accept).
    bool readable(int ms) const
    {
#ifdef Q_OS_WIN
        WSAPOLLFD p{handle, POLLIN, 0};
        return WSAPoll(&p, 1, ms) > 0;
#else
        pollfd p{handle, POLLIN, 0};
        return poll(&p, 1, ms) > 0;
#endif
    }
    qint64 receive(char* buffer, int size) const
    {
#ifdef Q_OS_WIN
        return recv(handle, buffer, size, 0);
#else
        return recv(handle, buffer, static_cast<size_t>(size), 0);
#endif
    }
    qint64 send(const char* data, qint64 size) const
    {
        const int chunk = static_cast<int>(qMin<qint64>(size, 1 << 20));
#ifdef Q_OS_WIN
        return ::send(handle, data, chunk, 0);
#else
        return ::send(handle, data, static_cast<size_t>(chunk), MSG_NOSIGNAL);
#endif
    }

    Handle handle = none;
    quint16 port = 0;

private:
    static void close(Handle h)
    {
        if (h == none)
            return;
#ifdef Q_OS_WIN
        closesocket(h);
#else
        ::close(h);
#endif
    }
};

// A stand-in web server on 127.0.0.1 (ephemeral port) in its own thread, since the client
// under test blocks. It records each request and sends the next scripted answer (the last
// one again when the script runs out), or, when `silent`, never answers at all.
class LoopbackServer {
public:
    explicit LoopbackServer(std::deque<QByteArray> responses, bool silent = false)
        : Responses(std::move(responses))
        , Silent(silent)
    {
        if (listen(Listener.handle, 8) != 0)
            qFatal("loopback server: cannot listen");
        port = Listener.port;
        Worker = std::thread([this] { Serve(); });
    }
    ~LoopbackServer()
    {
        Stop = true;
        Worker.join();
    }

    // A plain HTTP answer with the given status line and body.
    static QByteArray Answer(const QByteArray& body, const QByteArray& status = "200 OK", const QByteArray& extraHeaders = {})
    {
        return "HTTP/1.0 " + status + "\r\nContent-Type: text/html\r\n" + extraHeaders + "\r\n" + body;
    }

    QByteArrayList Requests() const
    {
        std::lock_guard lock(Mutex);
        return Received;
    }

    quint16 port = 0;

private:
    // Waits for input on `socket`, giving up when the server is stopped.
    bool waitReadable(const LoopbackSocket& socket)
    {
        while (!Stop) {
            if (socket.readable(20))
                return true;
        }
        return false;
    }

    void Serve()
    {
        while (waitReadable(Listener)) {
            const LoopbackSocket client(accept(Listener.handle, nullptr, nullptr));
            if (client.handle == LoopbackSocket::none)
                continue;
            QByteArray request;
            char buffer[4096];
            while (!request.contains("\r\n\r\n") && waitReadable(client)) {
                const qint64 n = client.receive(buffer, sizeof buffer);
                if (n <= 0)
                    break;
                request.append(buffer, n);
            }
            QByteArray response;
            {
                std::lock_guard lock(Mutex);
                Received << request;
                response = Responses.size() > 1 ? Responses.front() : Responses.empty() ? QByteArray() : Responses.back();
                if (Responses.size() > 1)
                    Responses.pop_front();
            }
            if (Silent) {
                while (waitReadable(client) && client.receive(buffer, sizeof buffer) > 0) { }
            } else {
                for (qsizetype sent = 0; sent < response.size();) {
                    const qint64 n = client.send(response.constData() + sent, response.size() - sent);
                    if (n <= 0)
                        break;
                    sent += n;
                }
            }
        }
    }

    std::deque<QByteArray> Responses;
    bool Silent;
    LoopbackSocket Listener;
    std::atomic<bool> Stop{false};
    mutable std::mutex Mutex;
    QByteArrayList Received;
    std::thread Worker;
};
