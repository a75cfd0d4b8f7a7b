#pragma once
#include <QByteArray>
#include <QString>
#include <QList>
#include <QtGlobal>

// Everything the program asks of the outside world goes through these small interfaces,
// with a production implementation in this folder and a fake in the tests.

class IMessages {
public:
    enum class TAnswer { Yes, No, Cancel };
    virtual ~IMessages() = default;
    virtual void Error(const QString& text) = 0;
    virtual void Warning(const QString& text) = 0;
    virtual void Information(const QString& text) = 0;
    virtual bool Question_Yes_No(const QString& text) = 0;
    virtual TAnswer Question_Yes_No_Cancel(const QString& text) = 0;
};

class IFile_Dialog {
public:
    virtual ~IFile_Dialog() = default;
    // The chosen file, or an empty text when the engineer cancels.
    virtual QString Open_File(const QString& title, const QString& folder, const QString& filter) = 0;
};

class IShell {
public:
    virtual ~IShell() = default;
    // Hands the address to the system's default handler (the web browser).
    virtual void Open_Url(const QString& url) = 0;
};

class IClock {
public:
    virtual ~IClock() = default;
    virtual qint64 Tick_Count_Ms() = 0;
    virtual void Sleep_Ms(int ms) = 0;
};

class ILocale {
public:
    virtual ~ILocale() = default;
    // The user's decimal separator as the system gives it.
    virtual QString Decimal_Separator() = 0;
};

class IIcmp_Echo {
public:
    // The whole echo message (8-byte ICMP header and data) and the wait for its answer.
    static constexpr int Packet_Size = 1024;
    static constexpr int Timeout_Ms = 400;
    enum class TResult { Answered, Not_Answered, Error };
    struct TReply {
        TResult Result = TResult::Error;
        QString Error; // why the request could not be sent
    };
    virtual ~IIcmp_Echo() = default;
    // One IPv4 echo request to a numeric dotted address (never a name look-up), waiting at most
    // Timeout_Ms for the answer. Not_Answered comes only once the time-out has passed, so a
    // caller may repeat requests in a loop without flooding the network.
    virtual TReply Echo(const QString& address) = 0;
};

class IHttp {
public:
    struct TReply {
        bool Ok = false;
        QByteArray Body;
        QString Error;
    };
    virtual ~IHttp() = default;
    // GET with HTTP/1.0, no cookies, the given headers, bounded by a connect and a total time-out.
    virtual TReply Get(const QString& url, const QList<QByteArray>& headers) = 0;
};

class IProcess_Launcher {
public:
    static constexpr int Still_Active = 259;
    virtual ~IProcess_Launcher() = default;
    // Starts the program (shown normally or hidden). Returns a handle > 0, or 0 with `error` set.
    virtual qint64 Start(const QString& program, bool shown, QString& error) = 0;
    // The exit code, or Still_Active while the program runs.
    virtual int Exit_Code(qint64 handle) = 0;
    // Forgets the handle; the program keeps running if it has not ended.
    virtual void Release(qint64 handle) = 0;
};

// The bundle that windows receive in their constructor.
struct TPlatform {
    IMessages* Messages = nullptr;
    IFile_Dialog* File_Dialog = nullptr;
    IShell* Shell = nullptr;
    IClock* Clock = nullptr;
    ILocale* Locale = nullptr;
    IIcmp_Echo* Icmp_Echo = nullptr;
    IHttp* Http = nullptr;
    IProcess_Launcher* Process_Launcher = nullptr;
};
