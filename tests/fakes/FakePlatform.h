#pragma once
#include "platform/Platform.h"
#include <QDir>
#include <QElapsedTimer>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <deque>
#include <functional>

// Records every message and answers questions from a script (Yes when the script is empty).
class FakeMessageService : public MessageService {
public:
    struct Shown {
        QString kind; // "error", "warning", "information", "question"
        QString text;
        bool defaultNo = false; // a question whose default answer is No
        bool operator==(const Shown&) const = default;
    };
    std::vector<Shown> shown;
    std::deque<Answer> Answers;
    // Runs after a message is recorded, while the caller still waits for it (as a modal box would).
    std::function<void(const Shown&)> onShown;

    void error(const QString& text) override { record(QStringLiteral("error"), text); }
    void warning(const QString& text) override { record(QStringLiteral("warning"), text); }
    void Information(const QString& text) override { record(QStringLiteral("information"), text); }
    bool askYesNo(const QString& text) override { return askYesNoCancel(text) == Answer::Yes; }
    bool askYesNoDefaultNo(const QString& text) override
    {
        record(QStringLiteral("question"), text, true);
        return nextAnswer() == Answer::Yes;
    }
    Answer askYesNoCancel(const QString& text) override
    {
        record(QStringLiteral("question"), text);
        return nextAnswer();
    }
    QStringList texts(const QString& kind) const
    {
        QStringList list;
        for (const auto& m : shown)
            if (m.kind == kind)
                list << m.text;
        return list;
    }

private:
    Answer nextAnswer()
    {
        if (Answers.empty())
            return Answer::Yes;
        const Answer answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    void record(const QString& kind, const QString& text, bool defaultNo = false)
    {
        shown.push_back({kind, text, defaultNo});
        if (onShown)
            onShown(shown.back());
    }
};

class FakeFileDialog : public FileDialog {
public:
    std::deque<QString> nextFiles; // an empty text answers Cancel
    QString lastTitle, lastFolder, lastFilter;
    QString openFile(const QString& title, const QString& folder, const QString& filter) override
    {
        lastTitle = title;
        lastFolder = folder;
        lastFilter = filter;
        if (nextFiles.empty())
            return {};
        QString file = nextFiles.front();
        nextFiles.pop_front();
        return file;
    }
    // Answers from the same script as openFile.
    QString saveFile(const QString& title, const QString& folder, const QString& filter) override
    {
        return openFile(title, folder, filter);
    }
};

class FakeShell : public Shell {
public:
    QStringList Opened;
    void openUrl(const QString& url) override { Opened << url; }
};

// Time moves only when someone sleeps, so loops with long limits run at once.
class FakeClock : public Clock {
public:
    qint64 Now = 1000;
    qint64 tickCountMs() override { return Now; }
    void sleepMs(int ms) override { Now += ms; }
};

// Real time, for tests that wait for a real process.
class SteadyClock : public Clock {
public:
    SteadyClock() { timer.start(); }
    qint64 tickCountMs() override { return timer.elapsed(); }
    void sleepMs(int ms) override { QThread::msleep(static_cast<unsigned long>(ms)); }

private:
    QElapsedTimer timer;
};

class FakeLocaleService : public LocaleService {
public:
    QString Separator = QStringLiteral(".");
    QString decimalSeparator() override { return Separator; }
};

class FakeIcmpEcho : public IcmpEcho {
public:
    std::deque<Reply> Replies; // when empty: Not_Answered
    QStringList Addresses;
    qint64 costMs = 0; // time each request takes on the fake clock
    FakeClock* clock = nullptr;
    std::function<void()> onEcho; // runs inside each request, as the request blocks its caller
    Reply echo(const QString& address) override
    {
        Addresses << address;
        if (clock)
            clock->Now += costMs;
        if (onEcho)
            onEcho();
        if (Replies.empty())
            return {EchoStatus::NotAnswered, {}};
        Reply r = Replies.front();
        Replies.pop_front();
        return r;
    }
};

// May be asked from a worker thread: it then answers after `delayMs`, unless aborted first.
class FakeHttpClient : public HttpClient {
public:
    Reply Next{false, {}, QStringLiteral("no server")};
    QStringList Urls;
    int delayMs = 0;
    Reply get(const QString& url, const QList<QByteArray>&) override
    {
        std::unique_lock lock(mutex);
        Urls << url;
        if (!wake.wait_for(lock, std::chrono::milliseconds(delayMs), [this] { return aborted; }))
            return Next;
        return {false, {}, QStringLiteral("aborted")};
    }
    void abortAll() override
    {
        const std::lock_guard lock(mutex);
        aborted = true;
        wake.notify_all();
    }

private:
    std::mutex mutex;
    std::condition_variable wake;
    bool aborted = false;
};

// Started programs run for a scripted number of exit-code polls; none is ever killed.
class FakeProcessLauncher : public ProcessLauncher {
public:
    struct Start {
        QString Program;
        QString workingFolder;
        bool shown = false;
    };
    std::vector<Start> Started;
    QString startError; // when set, starting fails with this reason, of this kind
    StartFailure startFailure = StartFailure::NotFound;
    int pollsBeforeEnd = 0; // exit-code polls answered Still_Active first; -1: runs for ever
    int exitCodeAtEnd = 0; // Still_Active (259) makes an ended program look alive
    int Polls = 0;
    QList<qint64> released;

    ProcessLauncher::Started start(const QString& program, const QString& workingFolder, bool shown) override
    {
        Started.push_back({program, workingFolder, shown});
        if (!startError.isEmpty())
            return {0, startFailure, startError};
        return {static_cast<qint64>(Started.size()), StartFailure::None, {}};
    }
    int exitCode(qint64) override
    {
        ++Polls;
        return pollsBeforeEnd < 0 || Polls <= pollsBeforeEnd ? StillActive : exitCodeAtEnd;
    }
    void release(qint64 handle) override { released << handle; }
};

// A trash that keeps what it takes in a folder of its own, or, when unavailable, takes nothing.
class FakeTrash : public Trash {
public:
    bool available = true;
    QStringList moved;
    bool moveToTrash(const QString& path) override
    {
        if (!available || !bin.isValid())
            return false;
        moved << path;
        return QDir().rename(path, bin.filePath(QString::number(moved.size())));
    }

private:
    QTemporaryDir bin;
};

// All fakes, bundled like the production services.
class FakePlatform {
public:
    FakeMessageService messages;
    FakeFileDialog fileDialog;
    FakeShell shell;
    FakeClock clock;
    FakeLocaleService locale;
    FakeIcmpEcho icmpEcho;
    FakeHttpClient http;
    FakeProcessLauncher processLauncher;
    FakeTrash trash;
    Platform bundle{&messages, &fileDialog, &shell, &clock, &locale, &icmpEcho, &http, &processLauncher, &trash};

    FakePlatform() { icmpEcho.clock = &clock; }
    Platform& services() { return bundle; }
};
