#pragma once
#include <QtGlobal>

// The production HTTP client: WinHTTP on Windows, libcurl elsewhere (CMake builds the one of
// the platform). Both take the connect and total time-outs in milliseconds.
#ifdef Q_OS_WIN
#include "platform/HttpWinHttp.h"
using SystemHttpClient = WinHttpClient;
#else
#include "platform/HttpCurl.h"
using SystemHttpClient = CurlHttpClient;
#endif
