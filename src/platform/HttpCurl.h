#pragma once
#include "platform/Platform.h"
#include <atomic>

// The HTTP client of the version check, on libcurl: HTTP/1.0, no cookie engine, no redirects,
// and both a connect and a total time-out, so that a server that accepts the connection and
// never answers cannot block the program for long.
class CurlHttpClient final : public HttpClient {
public:
    static constexpr int defaultConnectTimeoutMs = 4000;
    static constexpr int defaultTotalTimeoutMs = 8000;
    // Answers longer than this are refused: the version service sends a few bytes.
    static constexpr qsizetype maxBodySize = 64 * 1024;

    explicit CurlHttpClient(int connectMs = defaultConnectTimeoutMs, int totalMs = defaultTotalTimeoutMs);
    Reply get(const QString& url, const QList<QByteArray>& headers) override;
    void abortAll() override { aborted = true; }

private:
    int connectTimeoutMs;
    int totalTimeoutMs;
    std::atomic<bool> aborted = false;
};
