#include "cli/Commands.h"
#include "cli/ImageCommands.h"
#include <QCoreApplication>
#include <QFileDevice>
#include <cstdio>
#include <vector>

// The subcommands, one per file.
extern const Command sclDumpCommand, sclInfoCommand; // SclCommands.cpp
extern const Command exportCsvCommand, importCsvCommand; // PointListCommands.cpp
static const std::vector<Command> commands = {
    buildCommand,
    inspectCommand,
    sclDumpCommand,
    sclInfoCommand,
    exportCsvCommand,
    importCsvCommand,
};

static void printHelp(QTextStream& out)
{
    out << "swquelmor-cli: the configurator's files without its windows.\n\nUsage:\n";
    for (const Command& c : commands)
        out << "  swquelmor-cli " << c.name << ' ' << c.usage << "\n      " << c.help << "\n";
    out << "  swquelmor-cli --help\n      Shows this text.\n";
}

// A command's output that did not reach its destination (full disk, closed pipe) is a failure:
// a caller must not take the truncated text for the whole.
static int checkedOutput(int status, QTextStream& out, QTextStream& err)
{
    out.flush();
    if (out.status() == QTextStream::Ok)
        return status;
    const auto* device = qobject_cast<const QFileDevice*>(out.device());
    err << "swquelmor-cli: cannot write the output: "
        << (device && device->error() != QFileDevice::NoError ? device->errorString() : QStringLiteral("write failed")) << '\n';
    return status == 0 ? 1 : status;
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")) {
        printHelp(args.isEmpty() ? err : out);
        return checkedOutput(args.isEmpty() ? 2 : 0, out, err);
    }
    const QString name = args.takeFirst();
    for (const Command& c : commands)
        if (name == QLatin1String(c.name))
            return checkedOutput(c.run(args, out, err), out, err);
    err << "swquelmor-cli: unknown command " << name << " (see swquelmor-cli --help)\n";
    return 2;
}
