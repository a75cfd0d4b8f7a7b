#include "Commands.h"
#include "SCL_Dump.h"
#include "SCL_Reader.h"

// scl-dump and scl-info read a file exactly as the configurator's catalog does.

namespace {

// Reads the one FILE argument; prints the error and gives the exit status when it fails.
int Read_Argument(const QStringList& args, const char* command, QTextStream& err, std::unique_ptr<TIEC_Device>& device)
{
    if (args.size() != 1) {
        err << "usage: swquelmor-cli " << command << " FILE\n";
        return 2;
    }
    const TResult read = Read_SCL_File(args[0], device);
    if (!read) {
        err << read.Message << '\n';
        return 1;
    }
    return 0;
}

int Run_Dump(const QStringList& args, QTextStream& out, QTextStream& err)
{
    std::unique_ptr<TIEC_Device> device;
    if (const int status = Read_Argument(args, "scl-dump", err, device))
        return status;
    Write_Device_Json(*device, out);
    return 0;
}

int Run_Info(const QStringList& args, QTextStream& out, QTextStream& err)
{
    std::unique_ptr<TIEC_Device> device;
    if (const int status = Read_Argument(args, "scl-info", err, device))
        return status;
    out << Format_Counts(Count_Model(*device)) << '\n';
    return 0;
}

} // namespace

extern const TCommand Scl_Dump_Command = {
    "scl-dump", "FILE",
    "Reads the SCL file FILE (.icd .cid .scd .ssd .sed .iid) as the configurator does and prints the model of its "
    "first IED as one JSON document: logical devices, logical nodes, data objects, attributes with reference, "
    "functional constraint and basic type, and data sets with their GOOSE name and members. A missing file gives "
    "the empty device; a file that is not well-formed XML prints the parser's message with its line and exits with 1.",
    Run_Dump};

extern const TCommand Scl_Info_Command = {
    "scl-info", "FILE",
    "Reads FILE as scl-dump does and prints one line of counts: logical devices, logical nodes, data objects, "
    "attributes, leaves (attributes without components), data sets and data set members. Quick for big files.",
    Run_Info};
