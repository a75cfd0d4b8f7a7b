#pragma once
#include "Platform.h"
#include <memory>

// The production services, owned together for the whole run.
class TQt_Platform {
public:
    TQt_Platform();
    ~TQt_Platform();
    TPlatform& Services() { return Bundle; }

private:
    std::unique_ptr<IMessages> Messages;
    std::unique_ptr<IFile_Dialog> File_Dialog;
    std::unique_ptr<IShell> Shell;
    std::unique_ptr<IClock> Clock;
    std::unique_ptr<ILocale> Locale;
    std::unique_ptr<IIcmp_Echo> Icmp_Echo;
    std::unique_ptr<IHttp> Http;
    std::unique_ptr<IProcess_Launcher> Process_Launcher;
    TPlatform Bundle;
};

// A filter written as "description|patterns|description|patterns" pairs (patterns separated
// by ";") in Qt's "description (patterns);;..." form; a filter without "|" is Qt's already.
QString Qt_Name_Filter(const QString& filter);
