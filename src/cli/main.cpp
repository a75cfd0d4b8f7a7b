#include "cli/CheckCommand.h"
#include "cli/CommandLine.h"
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
    checkCommand,
    inspectCommand,
    sclDumpCommand,
    sclInfoCommand,
    exportCsvCommand,
    importCsvCommand,
};

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
    return checkedOutput(runCommandLine(commands, app.arguments().mid(1), out, err), out, err);
}
