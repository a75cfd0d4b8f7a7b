#pragma once
#include "platform/Platform.h"
#include <functional>
#include <memory>

// The production services, owned together for the whole run.
class QtPlatform {
public:
    QtPlatform();
    ~QtPlatform();
    Platform& services() { return bundle; }
    // Message boxes take their titles and button captions from `texts` each time one is shown,
    // so they follow a language switch.
    void setMessageBoxTexts(std::function<MessageBoxTexts()> texts);

private:
    std::unique_ptr<MessageService> messages;
    std::unique_ptr<FileDialog> fileDialog;
    std::unique_ptr<Shell> shell;
    std::unique_ptr<Clock> clock;
    std::unique_ptr<LocaleService> locale;
    std::unique_ptr<IcmpEcho> icmpEcho;
    std::unique_ptr<HttpClient> http;
    std::unique_ptr<ProcessLauncher> processLauncher;
    std::unique_ptr<Trash> trash;
    Platform bundle;
};

// A filter written as "description|patterns|description|patterns" pairs (patterns separated
// by ";") in Qt's "description (patterns);;..." form; a filter without "|" is Qt's already.
// The description is kept whole and the patterns follow it in parentheses of their own, for
// the dialog to hide (QFileDialog::HideNameFilterDetails). Outside Windows, whose dialogs
// ignore case anyway, each letter of a pattern matches both cases: *.scd finds X.SCD too.
QString qtNameFilter(const QString& filter);
// The extension of the first pattern of a "Description|*.ext;..." filter ("ext"), or nothing.
QString defaultSuffix(const QString& filter);
