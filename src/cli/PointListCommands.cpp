#include "cli/Commands.h"
#include "configuration/core/ConfigurationLock.h"
#include "configuration/core/ConfigurationPaths.h"
#include "cli/ImageCommands.h"
#include "base/Conversions.h"
#include "base/Files.h"
#include "base/ProgramState.h"
#include "base/TextTable.h"
#include "access/core/AccessFile.h"
#include "access/core/PointList.h"
#include <QDir>
#include <QFileInfo>
#include <QLocale>

// export-csv and import-csv: the access list of a configuration as a point list, as the access
// window's Export CSV and Import CSV write and read it.

namespace {

QChar decimalSeparator() { return decimalSeparatorOf(QLocale::system().decimalPoint()); }

// Loads the access list of the configuration folder; prints the error and gives the exit status
// when it fails.
int loadConfiguration(const QString& folderArg, const char* command, QTextStream& err, ProgramState& state, AccessList& access)
{
    if (!configurationStateOf(folderArg, command, state, err))
        return 1;
    const ConfigurationPaths configuration = configurationPaths(state);
    AccessFileReport report;
    if (const Result loaded = loadAccessFile(configuration.accessFile(), configuration.catalogFolder(), access, report);
        !loaded) {
        err << englishMessage(loaded) << '\n';
        return 1;
    }
    const TextTable texts;
    for (const QString& warning :
        {report.missingFilesWarning(texts), report.unreadableFilesWarning(texts), report.unmatchedMembersWarning(texts)})
        if (!warning.isEmpty())
            err << "warning: " << warning << '\n';
    return 0;
}

int exportCsv(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 2) {
        err << "usage: swquelmor-cli export-csv PROJECT_FOLDER OUT.csv\n";
        return 2;
    }
    ProgramState state;
    AccessList access;
    if (const int status = loadConfiguration(args[0], "export-csv", err, state, access))
        return status;
    if (const Result written = writePointList(args[1], exportPointList(access, decimalSeparator())); !written) {
        err << englishMessage(written) << '\n';
        return 1;
    }
    out << QDir::toNativeSeparators(args[1]) << '\n';
    return 0;
}

int importCsv(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QStringList args = arguments;
    const bool partial = args.removeAll(QStringLiteral("--partial")) > 0;
    const bool allowEmpty = args.removeAll(QStringLiteral("--allow-empty")) > 0;
    if (args.size() != 2) {
        err << "usage: swquelmor-cli import-csv PROJECT_FOLDER IN.csv [--partial] [--allow-empty]\n";
        return 2;
    }
    // Held from loading to saving: nothing another program saves in between is undone.
    ConfigurationLock lock(QFileInfo(args[0]).absoluteFilePath());
    if (QFileInfo(args[0]).isDir() && !holdConfiguration(lock, "import-csv", err))
        return 1;
    ProgramState state;
    AccessList access;
    if (const int status = loadConfiguration(args[0], "import-csv", err, state, access))
        return status;
    TextTable texts;
    QByteArray bytes;
    PointListImport import;
    if (const Result read = readWholeFile(args[1], bytes, pointListFileLimit); !read) {
        err << texts.message(read) << '\n';
        return 1;
    }
    if (const Result read = readPointList(bytes, access, decimalSeparator(), texts, import); !read) {
        err << QDir::toNativeSeparators(args[1]) << ": " << texts.message(read) << '\n';
        return 1;
    }
    bytes = QByteArray(); // what was read now lives in the rows; the file's bytes are not needed any more
    for (const QString& line : import.unusable)
        err << QDir::toNativeSeparators(args[1]) << ": " << line << '\n';
    if (!import.unusable.isEmpty() && !partial) {
        err << import.unusable.size() << " of " << import.lines
            << " lines cannot be used; nothing was changed (--partial imports the others)\n";
        return 1;
    }
    // A file that gives nothing (a header alone, another separator, every line refused) is far
    // more often a mistake than the wish for an empty access list.
    if (import.usable() == 0 && !allowEmpty) {
        err << QDir::toNativeSeparators(args[1]) << ": "
            << (import.lines == 0 ? "no line below the header" : "no line can be used")
            << "; nothing was changed (--allow-empty empties the access list)\n";
        return 1;
    }
    applyPointList(access, import);
    if (const Result saved = saveAccessFile(access, configurationPaths(state).accessFile()); !saved) {
        err << englishMessage(saved) << '\n';
        return 1;
    }
    out << import.usable() << " of " << import.lines << " lines imported into "
        << QDir::toNativeSeparators(configurationPaths(state).accessFile()) << '\n';
    return 0;
}

} // namespace

extern const Command exportCsvCommand, importCsvCommand;

constinit const Command exportCsvCommand = {"export-csv", "PROJECT_FOLDER OUT.csv",
    "Writes the access list of a project as a point list, as the access window's Export CSV does: one line per "
    "variable and per data set member, separated by \";\" where the decimal separator is \",\".",
    exportCsv};

constinit const Command importCsvCommand = {"import-csv", "PROJECT_FOLDER IN.csv [--partial] [--allow-empty]",
    "Replaces the variables and data sets of a project's access list with those of a point list. Lines that cannot "
    "be used are listed with their numbers; then nothing changes (exit 1) unless --partial imports the others. A "
    "data set is taken only with all of its members, in the order of its SCL file. A file that leaves no line to "
    "import changes nothing either (exit 1), unless --allow-empty asks for an empty access list.",
    importCsv};
