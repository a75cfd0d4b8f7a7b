#include "options/core/BackgroundVersionCheck.h"
#include "options/core/VersionCheck.h"
#include "platform/Platform.h"
#include <QThread>

BackgroundVersionCheck::BackgroundVersionCheck(HttpClient& httpClient, QObject* parent)
    : QObject(parent)
    , http(httpClient)
{
}

BackgroundVersionCheck::~BackgroundVersionCheck()
{
    if (!worker)
        return;
    http.abortAll();
    worker->wait();
    delete worker;
}

bool BackgroundVersionCheck::start(const QString& serviceUrl)
{
    if (worker)
        return false;
    worker = QThread::create([this, serviceUrl] { newer = checkVersion(http, serviceUrl); });
    // Queued to this thread: the answer is taken once the worker is done with it.
    connect(worker, &QThread::finished, this, [this] {
        worker->deleteLater();
        worker = nullptr;
        emit finished(newer);
    });
    worker->start();
    return true;
}
