#pragma once
#include "Platform.h"
#include <QStringList>
#include <deque>
#include <functional>

// Records every message and answers questions from a script (Yes when the script is empty).
class TFake_Messages : public IMessages {
public:
    struct TShown {
        QString Kind; // "error", "warning", "information", "question"
        QString Text;
        bool operator==(const TShown&) const = default;
    };
    std::vector<TShown> Shown;
    std::deque<TAnswer> Answers;
    // Runs after a message is recorded, while the caller still waits for it (as a modal box would).
    std::function<void(const TShown&)> On_Shown;

    void Error(const QString& text) override { Record(QStringLiteral("error"), text); }
    void Warning(const QString& text) override { Record(QStringLiteral("warning"), text); }
    void Information(const QString& text) override { Record(QStringLiteral("information"), text); }
    bool Question_Yes_No(const QString& text) override { return Question_Yes_No_Cancel(text) == TAnswer::Yes; }
    TAnswer Question_Yes_No_Cancel(const QString& text) override
    {
        Record(QStringLiteral("question"), text);
        if (Answers.empty())
            return TAnswer::Yes;
        const TAnswer answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    QStringList Texts(const QString& kind) const
    {
        QStringList list;
        for (const auto& m : Shown)
            if (m.Kind == kind)
                list << m.Text;
        return list;
    }

private:
    void Record(const QString& kind, const QString& text)
    {
        Shown.push_back({kind, text});
        if (On_Shown)
            On_Shown(Shown.back());
    }
};

class TFake_File_Dialog : public IFile_Dialog {
public:
    std::deque<QString> Next_Files; // an empty text answers Cancel
    QString Last_Title, Last_Folder, Last_Filter;
    QString Open_File(const QString& title, const QString& folder, const QString& filter) override
    {
        Last_Title = title;
        Last_Folder = folder;
        Last_Filter = filter;
        if (Next_Files.empty())
            return {};
        QString file = Next_Files.front();
        Next_Files.pop_front();
        return file;
    }
};

class TFake_Shell : public IShell {
public:
    QStringList Opened;
    void Open_Url(const QString& url) override { Opened << url; }
};

// Time moves only when someone sleeps, so loops with long limits run at once.
class TFake_Clock : public IClock {
public:
    qint64 Now = 1000;
    qint64 Tick_Count_Ms() override { return Now; }
    void Sleep_Ms(int ms) override { Now += ms; }
};

class TFake_Locale : public ILocale {
public:
    QString Separator = QStringLiteral(".");
    QString Decimal_Separator() override { return Separator; }
};

class TFake_Icmp_Echo : public IIcmp_Echo {
public:
    std::deque<TReply> Replies; // when empty: Not_Answered
    QStringList Addresses;
    qint64 Cost_Ms = 0;       // time each request takes on the fake clock
    TFake_Clock* Clock = nullptr;
    std::function<void()> On_Echo; // runs inside each request, as the request blocks its caller
    TReply Echo(const QString& address) override
    {
        Addresses << address;
        if (Clock)
            Clock->Now += Cost_Ms;
        if (On_Echo)
            On_Echo();
        if (Replies.empty())
            return {TResult::Not_Answered, {}};
        TReply r = Replies.front();
        Replies.pop_front();
        return r;
    }
};

class TFake_Http : public IHttp {
public:
    TReply Next{false, {}, QStringLiteral("no server")};
    QStringList Urls;
    TReply Get(const QString& url, const QList<QByteArray>&) override
    {
        Urls << url;
        return Next;
    }
};

// Started programs run for a scripted number of exit-code polls; none is ever killed.
class TFake_Process_Launcher : public IProcess_Launcher {
public:
    struct TStart {
        QString Program;
        bool Shown = false;
    };
    std::vector<TStart> Started;
    QString Start_Error;       // when set, starting fails with this reason
    int Polls_Before_End = 0;  // exit-code polls answered Still_Active first; -1: runs for ever
    int Exit_Code_At_End = 0;  // Still_Active (259) makes an ended program look alive
    int Polls = 0;
    QList<qint64> Released;

    qint64 Start(const QString& program, bool shown, QString& error) override
    {
        Started.push_back({program, shown});
        if (!Start_Error.isEmpty()) {
            error = Start_Error;
            return 0;
        }
        return static_cast<qint64>(Started.size());
    }
    int Exit_Code(qint64) override
    {
        ++Polls;
        return Polls_Before_End < 0 || Polls <= Polls_Before_End ? Still_Active : Exit_Code_At_End;
    }
    void Release(qint64 handle) override { Released << handle; }
};

// All fakes, bundled like the production services.
class TFake_Platform {
public:
    TFake_Messages Messages;
    TFake_File_Dialog File_Dialog;
    TFake_Shell Shell;
    TFake_Clock Clock;
    TFake_Locale Locale;
    TFake_Icmp_Echo Icmp_Echo;
    TFake_Http Http;
    TFake_Process_Launcher Process_Launcher;
    TPlatform Bundle{&Messages, &File_Dialog, &Shell, &Clock, &Locale, &Icmp_Echo, &Http, &Process_Launcher};

    TFake_Platform() { Icmp_Echo.Clock = &Clock; }
    TPlatform& Services() { return Bundle; }
};
