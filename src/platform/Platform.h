#pragma once
#include <QByteArray>
#include <QString>
#include <QList>
#include <QtGlobal>

// Everything the program asks of the outside world goes through these small interfaces,
// with a production implementation in this folder and a fake in the tests.

// The words of a message box besides its message: titles by kind and the standard buttons.
struct MessageBoxTexts {
    QString error = QStringLiteral("Error");
    QString warning = QStringLiteral("Warning");
    QString information = QStringLiteral("Information");
    QString confirm = QStringLiteral("Confirm");
    QString yes = QStringLiteral("Yes");
    QString no = QStringLiteral("No");
    QString ok = QStringLiteral("OK");
    QString cancel = QStringLiteral("Cancel");
};

class MessageService {
public:
    enum class Answer { Yes, No, Cancel };
    virtual ~MessageService() = default;
    virtual void error(const QString& text) = 0;
    virtual void warning(const QString& text) = 0;
    virtual void Information(const QString& text) = 0;
    virtual bool askYesNo(const QString& text) = 0;
    virtual Answer askYesNoCancel(const QString& text) = 0;
    // A question whose safe answer is No: No is the default button, so Enter keeps what is.
    virtual bool askYesNoDefaultNo(const QString& text) { return askYesNo(text); }
};

class FileDialog {
public:
    virtual ~FileDialog() = default;
    // The chosen file, or an empty text when the engineer cancels.
    virtual QString openFile(const QString& title, const QString& folder, const QString& filter) = 0;
    // The file to write, or an empty text when the engineer cancels; the dialog asks before
    // an existing file is replaced.
    virtual QString saveFile(const QString& title, const QString& folder, const QString& filter) = 0;
};

class Shell {
public:
    virtual ~Shell() = default;
    // Hands the address to the system's default handler (the web browser).
    virtual void openUrl(const QString& url) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual qint64 tickCountMs() = 0;
    virtual void sleepMs(int ms) = 0;
};

class LocaleService {
public:
    virtual ~LocaleService() = default;
    // The user's decimal separator as the system gives it.
    virtual QString decimalSeparator() = 0;
};

class IcmpEcho {
public:
    // The whole echo message (8-byte ICMP header and data) and the wait for its answer.
    static constexpr int packetSize = 1024;
    static constexpr int timeoutMs = 400;
    enum class EchoStatus { Answered, NotAnswered, Error };
    struct Reply {
        EchoStatus result = EchoStatus::Error;
        QString error; // why the request could not be sent
    };
    virtual ~IcmpEcho() = default;
    // One IPv4 echo request to a numeric dotted address (never a name look-up), waiting at most
    // timeoutMs for the answer. NotAnswered comes only once the time-out has passed, so a
    // caller may repeat requests in a loop without flooding the network.
    virtual Reply echo(const QString& address) = 0;
};

class HttpClient {
public:
    struct Reply {
        bool ok = false;
        QByteArray body;
        QString error;
    };
    virtual ~HttpClient() = default;
    // GET with HTTP/1.0, no cookies, the given headers, bounded by a connect and a total time-out.
    // May run on a worker thread.
    virtual Reply get(const QString& url, const QList<QByteArray>& headers) = 0;
    // Makes the request under way on another thread, and every later one, fail at once: the
    // program is ending and must not wait for a time-out.
    virtual void abortAll() = 0;
};

class ProcessLauncher {
public:
    static constexpr int StillActive = 259;
    enum class StartFailure { None, NotFound, NotExecutable, Other };
    struct Started {
        qint64 handle = 0; // > 0 when the program runs
        StartFailure failure = StartFailure::None;
        QString error; // the system's text of the failure
    };
    virtual ~ProcessLauncher() = default;
    // Starts the program without arguments (shown normally or hidden) in `workingFolder`, its
    // standard streams not tied to ours.
    virtual Started start(const QString& program, const QString& workingFolder, bool shown) = 0;
    // The exit code, or StillActive while the program runs.
    virtual int exitCode(qint64 handle) = 0;
    // Forgets the handle; the program keeps running if it has not ended.
    virtual void release(qint64 handle) = 0;
};

class Trash {
public:
    virtual ~Trash() = default;
    // Moves the file or folder to the desktop's trash; false where there is none that takes it.
    virtual bool moveToTrash(const QString& path) = 0;
};

// The bundle that windows receive in their constructor.
struct Platform {
    MessageService* messages = nullptr;
    FileDialog* fileDialog = nullptr;
    Shell* shell = nullptr;
    Clock* clock = nullptr;
    LocaleService* locale = nullptr;
    IcmpEcho* icmpEcho = nullptr;
    HttpClient* http = nullptr;
    ProcessLauncher* processLauncher = nullptr;
    Trash* trash = nullptr;
};
