#include "platform/HttpCurl.h"
#include <curl/curl.h>
#include <memory>
#include <mutex>

namespace {

size_t appendBody(char* data, size_t size, size_t count, void* target)
{
    auto* body = static_cast<QByteArray*>(target);
    const size_t bytes = size * count;
    if (body->size() + static_cast<qsizetype>(bytes) > CurlHttpClient::maxBodySize)
        return 0; // makes curl fail the transfer
    body->append(data, static_cast<qsizetype>(bytes));
    return bytes;
}

// Curl asks this at least about once a second, also while it waits for the server.
int abortWhenAsked(void* aborted, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<const std::atomic<bool>*>(aborted)->load() ? 1 : 0;
}

struct CurlDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

} // namespace

CurlHttpClient::CurlHttpClient(int connectMs, int totalMs)
    : connectTimeoutMs(connectMs)
    , totalTimeoutMs(totalMs)
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

HttpClient::Reply CurlHttpClient::get(const QString& url, const QList<QByteArray>& headers)
{
    Reply reply;
    if (aborted) {
        reply.error = QStringLiteral("aborted");
        return reply;
    }
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl) {
        reply.error = QStringLiteral("cannot start an HTTP request");
        return reply;
    }
    std::unique_ptr<curl_slist, CurlDeleter> headerList;
    for (const QByteArray& header : headers) {
        // On failure the list so far stays with its owner.
        curl_slist* extended = curl_slist_append(headerList.get(), header.constData());
        if (!extended) {
            reply.error = QStringLiteral("out of memory");
            return reply;
        }
        (void)headerList.release();
        headerList.reset(extended);
    }
    char errorText[CURL_ERROR_SIZE] = {};
    const QByteArray address = url.toUtf8();
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, address.constData());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(c, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headerList.get());
    curl_easy_setopt(c, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(connectTimeoutMs));
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, static_cast<long>(totalTimeoutMs));
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    // A proxy from the environment is fine for the maker's site, never for this machine itself.
    curl_easy_setopt(c, CURLOPT_NOPROXY, "localhost,127.0.0.1,::1");
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &appendBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &reply.body);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &abortWhenAsked);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &aborted);

    const CURLcode code = curl_easy_perform(c);
    if (code != CURLE_OK) {
        reply.body.clear();
        reply.error = QString::fromUtf8(errorText[0] ? errorText : curl_easy_strerror(code));
        return reply;
    }
    reply.ok = true;
    return reply;
}
