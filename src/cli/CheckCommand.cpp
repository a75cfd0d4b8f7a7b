#include "cli/CheckCommand.h"
#include "cli/ImageCommands.h"
#include "base/Conversions.h"
#include "base/TextTable.h"
#include "configuration/core/ConfigurationPaths.h"
#include "image/core/DeviceImage.h"
#include "image/core/ConfigurationCheck.h"
#include <QLocale>

namespace {

int check(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QStringList rest = args;
    const bool strict = rest.removeAll(QStringLiteral("--strict")) > 0;
    if (rest.size() != 1) {
        err << "usage: swquelmor-cli check [--strict] PROJECT_FOLDER\n";
        return 2;
    }
    ProgramState state;
    if (!configurationStateOf(rest[0], "check", state, err))
        return 1;
    const QChar separator = decimalSeparatorOf(QLocale::system().decimalPoint());
    const TextTable texts;
    const ConfigurationPaths configuration = configurationPaths(state);
    Problems problems = Image::checkConfiguration(configuration, separator, texts);
    // The build in memory tells what the checks cannot: a file that cannot be read, tables too
    // large for the device. Nothing is written.
    Image::DeviceImage image;
    if (const Result built = image.buildImages(configuration, separator); !built)
        problems.push_back({Problem::Severity::Error, {}, {}, {}, built});
    for (const Problem& p : problems)
        out << p.line(texts) << '\n';
    return hasErrors(problems) || (strict && !problems.empty()) ? 1 : 0;
}

} // namespace

constinit const Command checkCommand = {"check", "[--strict] PROJECT_FOLDER",
    "Checks a project before its device images are built. It checks as the update step does: ParGen.xml as the "
    "communication window checks it, every row of IEC_61850_Client.xml as the access window checks it, and the build itself, in "
    "memory. Prints one line per problem (file, row, column, what is wrong) in the order the windows report them; "
    "exit 0 when the project would build and passes every check, 1 otherwise. An entry running past the end of the "
    "internal data array is an error too; entries that share bits of it are warnings, which change the exit code "
    "only with --strict. A missing ParGen.xml is an error (the device would get no usable network settings), an "
    "access list without entries a warning. Nothing is written. A folder that is not a configuration (one that holds "
    "none of ParGen.xml, IEC_61850_Client.xml, bin and ICD_Catalog, or a folder of configurations such as PROJECTS) is "
    "refused with exit 1.",
    check};
