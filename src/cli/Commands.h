#pragma once
#include <QStringList>
#include <QTextStream>

// One subcommand of swquelmor-cli. Each lives in its own file and is listed in main.cpp.
struct Command {
    const char* name;
    const char* usage; // arguments, shown by --help
    const char* help; // one paragraph, shown by --help
    int (*run)(const QStringList& args, QTextStream& out, QTextStream& err);
};
