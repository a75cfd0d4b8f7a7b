#include "platform/HttpWinHttp.h"
#include "platform/Ipv4Address.h"
#include <QElapsedTimer>
#include <QUrl>
#include <algorithm>
#include <memory>
#include <windows.h>
#include <winhttp.h>

namespace {

QString errorText(DWORD error)
{
    // WinHTTP's own errors (12000 and up) are described in its module, the others by the system.
    const bool own = error >= WINHTTP_ERROR_BASE && error <= WINHTTP_ERROR_LAST;
    wchar_t* text = nullptr;
    const DWORD source = own ? FORMAT_MESSAGE_FROM_HMODULE : FORMAT_MESSAGE_FROM_SYSTEM;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | source,
        own ? GetModuleHandleW(L"winhttp.dll") : nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    QString result = text ? QString::fromWCharArray(text).trimmed() : QString();
    LocalFree(text);
    if (result.isEmpty())
        result = error == ERROR_WINHTTP_TIMEOUT ? QStringLiteral("timed out") : QStringLiteral("WinHTTP error %1").arg(error);
    return result;
}

struct HandleCloser {
    void operator()(void* handle) const { WinHttpCloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

bool isLoopback(const QString& host)
{
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 || host == u"::1")
        return true;
    const auto address = parseNumericIPv4(host);
    return address && *address >> 24 == 127;
}

// The header's value when it is named `name` ("Name: value"), otherwise nothing.
QByteArray headerValue(const QByteArray& header, const QByteArray& name)
{
    const qsizetype colon = header.indexOf(':');
    if (colon < 0 || header.left(colon).trimmed().compare(name, Qt::CaseInsensitive) != 0)
        return {};
    return header.mid(colon + 1).trimmed();
}

} // namespace

WinHttpClient::WinHttpClient(int connectMs, int totalMs)
    : connectTimeoutMs(connectMs)
    , totalTimeoutMs(totalMs)
{
}

bool WinHttpClient::track(void* request)
{
    std::lock_guard lock(mutex);
    if (aborted)
        return false;
    requests.push_back(request);
    return true;
}

bool WinHttpClient::untrack(void* request)
{
    std::lock_guard lock(mutex);
    const auto found = std::find(requests.begin(), requests.end(), request);
    if (found == requests.end())
        return false;
    requests.erase(found);
    return true;
}

void WinHttpClient::abortAll()
{
    std::lock_guard lock(mutex);
    aborted = true;
    // No handle is opened after this, so a call of the request's thread on a closed handle
    // fails instead of reaching another request.
    for (void* request : requests)
        WinHttpCloseHandle(request);
    requests.clear();
}

HttpClient::Reply WinHttpClient::get(const QString& url, const QList<QByteArray>& headers)
{
    Reply reply;
    const auto fail = [&](const QString& error) {
        reply.ok = false;
        reply.body.clear();
        reply.error = aborted ? QStringLiteral("aborted") : error;
        return reply;
    };
    if (aborted)
        return fail({});
    QElapsedTimer clock;
    clock.start();
    const auto remainingMs = [&] { return static_cast<int>(std::max<qint64>(0, totalTimeoutMs - clock.elapsed())); };

    const QUrl address(url, QUrl::StrictMode);
    const QString scheme = address.scheme().toLower();
    if (!address.isValid() || address.host().isEmpty() || (scheme != u"http" && scheme != u"https"))
        return fail(QStringLiteral("unsupported address: %1").arg(url));
    const bool secure = scheme == u"https";
    QByteArray path = address.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveFragment);
    if (path.isEmpty())
        path = "/";

    // The user agent is the session's; WinHTTP sends no other.
    QByteArray agent;
    QList<QByteArray> otherHeaders;
    for (const QByteArray& header : headers) {
        const QByteArray value = headerValue(header, "User-Agent");
        if (value.isEmpty())
            otherHeaders << header;
        else
            agent = value;
    }
    const std::wstring agentText = QString::fromLatin1(agent).toStdWString();
    // A proxy of the system's settings is fine for the maker's site, never for this machine itself.
    const DWORD access = isLoopback(address.host()) ? WINHTTP_ACCESS_TYPE_NO_PROXY : WINHTTP_ACCESS_TYPE_DEFAULT_PROXY;
    const Handle session(
        WinHttpOpen(agent.isEmpty() ? nullptr : agentText.c_str(), access, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session)
        return fail(errorText(GetLastError()));
    const std::wstring host = address.host(QUrl::FullyEncoded).toStdWString();
    const auto port = static_cast<INTERNET_PORT>(address.port(secure ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT));
    const Handle connection(WinHttpConnect(session.get(), host.c_str(), port, 0));
    if (!connection)
        return fail(errorText(GetLastError()));
    const std::wstring object = QString::fromLatin1(path).toStdWString();
    void* const request = WinHttpOpenRequest(connection.get(), L"GET", object.c_str(), L"HTTP/1.0", WINHTTP_NO_REFERER,
        WINHTTP_DEFAULT_ACCEPT_TYPES, WINHTTP_FLAG_REFRESH | (secure ? WINHTTP_FLAG_SECURE : 0));
    if (!request)
        return fail(errorText(GetLastError()));
    if (!track(request)) {
        WinHttpCloseHandle(request);
        return fail({});
    }
    // This thread closes the request, unless abortAll did already.
    struct Closer {
        WinHttpClient* client;
        void* request;
        ~Closer()
        {
            if (client->untrack(request))
                WinHttpCloseHandle(request);
        }
    } closer{this, request};

    DWORD features = WINHTTP_DISABLE_COOKIES | WINHTTP_DISABLE_REDIRECTS | WINHTTP_DISABLE_KEEP_ALIVE;
    WinHttpSetOption(request, WINHTTP_OPTION_DISABLE_FEATURE, &features, sizeof features);
    for (const QByteArray& header : otherHeaders) {
        const std::wstring line = QString::fromLatin1(header + "\r\n").toStdWString();
        if (!WinHttpAddRequestHeaders(
                request, line.c_str(), static_cast<DWORD>(-1L), WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE))
            return fail(errorText(GetLastError()));
    }
    // WinHTTP bounds each step, not the whole: each gets what is left of the total.
    const int connectMs = std::min(connectTimeoutMs, remainingMs());
    if (!WinHttpSetTimeouts(request, connectMs, connectMs, remainingMs(), remainingMs()))
        return fail(errorText(GetLastError()));
    if (!WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0)
        || !WinHttpReceiveResponse(request, nullptr))
        return fail(errorText(GetLastError()));

    DWORD status = 0;
    DWORD size = sizeof status;
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
            &status, &size, WINHTTP_NO_HEADER_INDEX))
        return fail(errorText(GetLastError()));
    if (status >= 400)
        return fail(QStringLiteral("The requested URL returned error: %1").arg(status));

    char buffer[4096];
    for (;;) {
        DWORD timeout = static_cast<DWORD>(remainingMs());
        if (timeout == 0)
            return fail(errorText(ERROR_WINHTTP_TIMEOUT));
        WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
        DWORD read = 0;
        if (!WinHttpReadData(request, buffer, sizeof buffer, &read))
            return fail(errorText(GetLastError()));
        if (read == 0)
            break;
        if (reply.body.size() + static_cast<qsizetype>(read) > maxBodySize)
            return fail(QStringLiteral("the answer is longer than %1 bytes").arg(maxBodySize));
        reply.body.append(buffer, static_cast<qsizetype>(read));
    }
    if (aborted)
        return fail({});
    reply.ok = true;
    return reply;
}
