#include "Commands.h"
#include "ImageCommands.h"
#include <QCoreApplication>
#include <cstdio>
#include <vector>

// The subcommands, one per file.
extern const TCommand Scl_Dump_Command, Scl_Info_Command; // SclCommands.cpp
static const std::vector<TCommand> Commands = {
    Build_Command,
    Inspect_Command,
    Scl_Dump_Command,
    Scl_Info_Command,
};

static void Print_Help(QTextStream& out)
{
    out << "swquelmor-cli: the configurator's files without its windows.\n\nUsage:\n";
    for (const TCommand& c : Commands)
        out << "  swquelmor-cli " << c.Name << ' ' << c.Usage << "\n      " << c.Help << "\n";
    out << "  swquelmor-cli --help\n      Shows this text.\n";
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")) {
        Print_Help(args.isEmpty() ? err : out);
        return args.isEmpty() ? 2 : 0;
    }
    const QString name = args.takeFirst();
    for (const TCommand& c : Commands)
        if (name == QLatin1String(c.Name))
            return c.Run(args, out, err);
    err << "swquelmor-cli: unknown command " << name << " (see swquelmor-cli --help)\n";
    return 2;
}
