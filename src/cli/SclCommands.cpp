#include "cli/Commands.h"
#include "base/TextNumbers.h"
#include "base/TextTable.h"
#include "scl/core/SclDump.h"
#include "scl/core/SclIedList.h"
#include "scl/core/SclReader.h"
#include <QDir>
#include <QFileInfo>

// scl-dump and scl-info read a file exactly as the configurator's catalog does.

namespace {

// FILE, and the IED chosen with --ied NAME (empty: the first IED, as the catalog reads a file
// written before the IED could be chosen).
struct SclArguments {
    QString file;
    QString ied;
};

bool parseArguments(const QStringList& args, SclArguments& parsed)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--ied") && i + 1 < args.size() && parsed.ied.isEmpty())
            parsed.ied = args[++i];
        else if (parsed.file.isEmpty() && !args[i].startsWith(u'-'))
            parsed.file = args[i];
        else
            return false;
    }
    return !parsed.file.isEmpty();
}

// Reads FILE; prints the error and gives the exit status when it fails.
int readArgument(
    const QStringList& args, const char* command, QTextStream& err, SclArguments& parsed, std::unique_ptr<Ied>& device)
{
    if (!parseArguments(args, parsed)) {
        err << "usage: swquelmor-cli " << command << " FILE [--ied NAME]\n";
        return 2;
    }
    // The catalog reads a copy that has gone as the empty device; named here, a file that is not
    // there is a mistake to report.
    if (!QFileInfo::exists(parsed.file)) {
        err << englishMessage(Result::failed(Text::ErrorCannotReadMissing, {QDir::toNativeSeparators(parsed.file)})) << '\n';
        return 1;
    }
    const Result read = readSclFile(parsed.file, parsed.ied, device);
    if (!read) {
        err << englishMessage(read) << '\n';
        return 1;
    }
    return 0;
}

QString quoted(QString text)
{
    text.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    text.replace(u'\n', QStringLiteral("\\n")).replace(u'\r', QStringLiteral("\\r"));
    return u'"' + text + u'"';
}

int runDump(const QStringList& args, QTextStream& out, QTextStream& err)
{
    SclArguments parsed;
    std::unique_ptr<Ied> device;
    if (const int status = readArgument(args, "scl-dump", err, parsed, device))
        return status;
    writeDeviceJson(*device, out);
    return 0;
}

int runInfo(const QStringList& args, QTextStream& out, QTextStream& err)
{
    SclArguments parsed;
    std::unique_ptr<Ied> device;
    if (const int status = readArgument(args, "scl-info", err, parsed, device))
        return status;
    std::vector<IedSummary> ieds;
    if (const Result listed = listSclIedsOfFile(parsed.file, ieds); !listed) {
        err << englishMessage(listed) << '\n';
        return 1;
    }
    out << formatCounts(countModel(*device)) << '\n';
    for (const IedSummary& ied : ieds)
        out << "IED name=" << quoted(ied.name) << " lDevices=" << ied.logicalDevices << " lns=" << ied.logicalNodes
            << " ip=" << ied.ipAddresses.join(u',') << " manufacturer=" << quoted(ied.manufacturer)
            << " type=" << quoted(ied.type) << " desc=" << quoted(ied.desc) << '\n';
    return 0;
}

} // namespace

extern const Command sclDumpCommand = {"scl-dump", "FILE [--ied NAME]",
    "Prints the model of an SCL file as JSON. Reads the SCL file FILE (.icd .cid .scd .ssd .sed .iid .scl) as the configurator "
    "does and prints the model of "
    "the IED named NAME (without --ied, or when no IED has that name: the first IED) as one JSON document: logical "
    "devices, logical nodes, data objects, attributes with reference, functional constraint and basic type, and data "
    "sets with their GOOSE name and members. A file that does not exist, or is not well-formed XML, prints why "
    "(the parser's message with its line) and exits with 1.",
    runDump};

extern const Command sclInfoCommand = {"scl-info", "FILE [--ied NAME]",
    "Counts what an SCL file holds. Reads FILE as scl-dump does and prints one line of counts of that model: logical devices, "
    "logical nodes, data "
    "objects, attributes, leaves (attributes without components), data sets and data set members. Then one line per "
    "IED of the file, in file order: its name, logical devices and logical nodes (0 logical devices: a client), IP "
    "addresses from the Communication section, manufacturer, type and description.",
    runInfo};
