#pragma once
#include "Platform.h"

// The HTTP client of the version check, on libcurl: HTTP/1.0, no cookie engine, no redirects,
// and both a connect and a total time-out, so that a server that accepts the connection and
// never answers cannot block the program for long.
class THttp_Curl final : public IHttp {
public:
    static constexpr int Default_Connect_Timeout_Ms = 4000;
    static constexpr int Default_Total_Timeout_Ms = 8000;
    // Answers longer than this are refused: the version service sends a few bytes.
    static constexpr qsizetype Max_Body_Size = 64 * 1024;

    explicit THttp_Curl(int connectTimeoutMs = Default_Connect_Timeout_Ms, int totalTimeoutMs = Default_Total_Timeout_Ms);
    TReply Get(const QString& url, const QList<QByteArray>& headers) override;

private:
    int Connect_Timeout_Ms;
    int Total_Timeout_Ms;
};
