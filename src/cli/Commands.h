#pragma once
#include <QStringList>
#include <QTextStream>

// One subcommand of swquelmor-cli. Each lives in its own file and is listed in main.cpp.
struct TCommand {
    const char* Name;
    const char* Usage; // arguments, shown by --help
    const char* Help;  // one paragraph, shown by --help
    int (*Run)(const QStringList& args, QTextStream& out, QTextStream& err);
};
