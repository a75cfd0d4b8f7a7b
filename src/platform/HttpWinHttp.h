#pragma once
#include "platform/Platform.h"
#include <atomic>
#include <mutex>
#include <vector>

// The HTTP client of the version check on Windows, on the system's WinHTTP: HTTP/1.0, cookies
// and redirects off, both a connect and a total time-out, as the libcurl client on Linux.
class WinHttpClient final : public HttpClient {
public:
    static constexpr int defaultConnectTimeoutMs = 4000;
    static constexpr int defaultTotalTimeoutMs = 8000;
    // Answers longer than this are refused: the version service sends a few bytes.
    static constexpr qsizetype maxBodySize = 64 * 1024;

    explicit WinHttpClient(int connectMs = defaultConnectTimeoutMs, int totalMs = defaultTotalTimeoutMs);
    Reply get(const QString& url, const QList<QByteArray>& headers) override;
    void abortAll() override;

private:
    // WinHTTP ends a blocked call when another thread closes its request handle; abortAll closes
    // the ones registered here.
    bool track(void* request);
    // False when abortAll closed the handle already.
    bool untrack(void* request);

    int connectTimeoutMs;
    int totalTimeoutMs;
    std::atomic<bool> aborted = false;
    std::mutex mutex;
    std::vector<void*> requests;
};
