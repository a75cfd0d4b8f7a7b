#pragma once
#include <QByteArray>
#include <QByteArrayList>
#include <QString>
#include <arpa/inet.h>
#include <atomic>
#include <deque>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

// A stand-in web server on 127.0.0.1 (ephemeral port) in its own thread, since the client
// under test blocks. It records each request and sends the next scripted answer (the last
// one again when the script runs out), or, when `silent`, never answers at all.
class LoopbackServer {
public:
    explicit LoopbackServer(std::deque<QByteArray> responses, bool silent = false)
        : Responses(std::move(responses))
        , Silent(silent)
    {
        Listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (Listener < 0 || bind(Listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(Listener, 8) != 0
            || getsockname(Listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            qFatal("loopback server: cannot listen");
        port = ntohs(address.sin_port);
        Worker = std::thread([this] { Serve(); });
    }
    ~LoopbackServer()
    {
        Stop = true;
        Worker.join();
        close(Listener);
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
    // Waits for input on `fd`, giving up when the server is stopped.
    bool waitReadable(int fd)
    {
        while (!Stop) {
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, 20) > 0)
                return true;
        }
        return false;
    }

    void Serve()
    {
        while (waitReadable(Listener)) {
            const int client = accept(Listener, nullptr, nullptr);
            if (client < 0)
                continue;
            QByteArray request;
            char buffer[4096];
            while (!request.contains("\r\n\r\n") && waitReadable(client)) {
                const ssize_t n = recv(client, buffer, sizeof buffer, 0);
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
                while (waitReadable(client) && recv(client, buffer, sizeof buffer, 0) > 0) { }
            } else {
                for (qsizetype sent = 0; sent < response.size();) {
                    const ssize_t n
                        = send(client, response.constData() + sent, static_cast<size_t>(response.size() - sent), MSG_NOSIGNAL);
                    if (n <= 0)
                        break;
                    sent += n;
                }
            }
            close(client);
        }
    }

    std::deque<QByteArray> Responses;
    bool Silent;
    int Listener = -1;
    std::atomic<bool> Stop{false};
    mutable std::mutex Mutex;
    QByteArrayList Received;
    std::thread Worker;
};
