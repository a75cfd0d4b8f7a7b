#pragma once
#include "base/Constants.h"
#include <QString>

inline const QString MakerWebHost = QStringLiteral(SWQ_MAKER_WEB_HOST);

// The maker's web site: every address is plain HTTP, each path in its own letter case.
inline QString makerHomePage() { return QStringLiteral("http://%1/HOME/default.asp?frompg=%2").arg(MakerWebHost, SoftwareCode); }
inline QString makerDownloadPage() { return QStringLiteral("http://%1/Home/download/download.asp#HDQuelmor").arg(MakerWebHost); }
inline QString makerVersionService()
{
    return QStringLiteral("http://%1/home/download/GetversionSW.asp?nomesw=%2").arg(MakerWebHost, SoftwareCode);
}
inline const char* const makerHttpAccept = "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";
inline const char* const makerHttpUserAgent = "Mozilla/3.0 (compatible; Indy Library)";
