#include "cli/Commands.h"
#include "iec61850/core/SclDump.h"
#include "iec61850/core/SclReader.h"

// scl-dump and scl-info read a file exactly as the configurator's catalog does.

namespace {

// Reads the one FILE argument; prints the error and gives the exit status when it fails.
int readArgument(const QStringList& args, const char* command, QTextStream& err, std::unique_ptr<Ied>& device)
{
    if (args.size() != 1) {
        err << "usage: swquelmor-cli " << command << " FILE\n";
        return 2;
    }
    const Result read = readSclFile(args[0], device);
    if (!read) {
        err << read.message << '\n';
        return 1;
    }
    return 0;
}

int runDump(const QStringList& args, QTextStream& out, QTextStream& err)
{
    std::unique_ptr<Ied> device;
    if (const int status = readArgument(args, "scl-dump", err, device))
        return status;
    writeDeviceJson(*device, out);
    return 0;
}

int runInfo(const QStringList& args, QTextStream& out, QTextStream& err)
{
    std::unique_ptr<Ied> device;
    if (const int status = readArgument(args, "scl-info", err, device))
        return status;
    out << formatCounts(countModel(*device)) << '\n';
    return 0;
}

} // namespace

extern const Command sclDumpCommand = {"scl-dump", "FILE",
    "Prints the model of an SCL file as JSON. Reads the SCL file FILE (.icd .cid .scd .ssd .sed .iid) as the "
    "configurator does and prints the model of its first IED as one JSON document: logical devices, logical nodes, data objects, "
    "attributes with reference, "
    "functional constraint and basic type, and data sets with their GOOSE name and members. A missing file gives "
    "the empty device; a file that is not well-formed XML prints the parser's message with its line and exits with 1.",
    runDump};

extern const Command sclInfoCommand = {"scl-info", "FILE",
    "Counts what an SCL file holds. Reads FILE as scl-dump does and prints one line of counts: logical devices, logical nodes, "
    "data objects, "
    "attributes, leaves (attributes without components), data sets and data set members. Quick for big files.",
    runInfo};
