#pragma once
#include "cli/Commands.h"
#include <QStringList>
#include <QTextStream>

// One command of swquelmor-cli run in this process, its output kept.
struct CommandRun {
    int exitCode;
    QString out, err;
};

inline CommandRun runCommand(const Command& command, const QStringList& args)
{
    CommandRun run;
    {
        QTextStream out(&run.out), err(&run.err);
        run.exitCode = command.run(args, out, err);
    }
    return run;
}
