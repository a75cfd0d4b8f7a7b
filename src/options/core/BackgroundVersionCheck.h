#pragma once
#include <QObject>
#include <QString>

class HttpClient;
class QThread;

// Runs the version check on a thread of its own, so that a server slow to answer never
// freezes the windows. One check at a time; its answer comes back on the window's thread.
class BackgroundVersionCheck : public QObject {
    Q_OBJECT
public:
    explicit BackgroundVersionCheck(HttpClient& httpClient, QObject* parent = nullptr);
    // A check under way is ended at once (its request fails), never waited out.
    ~BackgroundVersionCheck() override;

    // Starts a check of the service; false, and nothing started, while one runs.
    bool start(const QString& serviceUrl);
    bool isRunning() const { return worker != nullptr; }

signals:
    // Whether the service names a newer version (any failure: false).
    void finished(bool newer);

private:
    HttpClient& http;
    QThread* worker = nullptr;
    bool newer = false; // written by the worker, read once it has finished
};
