#include "cli/ImageCommands.h"
#include "configuration/core/ConfigurationFolders.h"
#include "configuration/core/ConfigurationLock.h"
#include "configuration/core/ConfigurationPaths.h"
#include "base/Conversions.h"
#include "base/Files.h"
#include "image/core/DeviceImage.h"
#include "image/core/ImageInspect.h"
#include "image/core/ConfigurationCheck.h"
#include "base/TextTable.h"
#include <QDir>
#include <QFileInfo>
#include <QLocale>

namespace {

int build(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QStringList rest = args;
    const bool force = rest.removeAll(QStringLiteral("--force")) > 0;
    if (rest.size() != 1) {
        err << "usage: swquelmor-cli build [--force] PROJECT_FOLDER\n";
        return 2;
    }
    ProgramState state;
    if (!configurationStateOf(rest[0], "build", state, err))
        return 1;
    ConfigurationLock lock(state.configurationFolder);
    if (!holdConfiguration(lock, "build", err))
        return 1;
    const QChar separator = decimalSeparatorOf(QLocale::system().decimalPoint());
    // As the update step: the engineer hears of every problem before anything is built, and
    // only an explicit --force builds a configuration that fails its checks.
    const TextTable texts;
    const Problems problems = Image::checkConfiguration(configurationPaths(state), separator, texts);
    for (const Problem& p : problems)
        err << p.line(texts) << '\n';
    if (hasErrors(problems) && !force) {
        err << "swquelmor-cli build: the configuration fails its checks; nothing written (--force builds it anyway)\n";
        return 1;
    }
    Image::DeviceImage image;
    const Result built = Image::buildAndWriteImages(image, state, separator);
    if (!built) {
        err << englishMessage(built) << '\n';
        return 1;
    }
    const ConfigurationPaths configuration = configurationPaths(state);
    out << QDir::toNativeSeparators(configuration.bank1File()) << ": " << image.bank1().size() << " bytes\n"
        << QDir::toNativeSeparators(configuration.bank2File()) << ": " << image.bank2().size() << " bytes\n";
    return 0;
}

int Inspect(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 1) {
        err << "usage: swquelmor-cli inspect FILE.bin\n";
        return 2;
    }
    QByteArray data;
    if (const Result read = readWholeFile(args[0], data, imageFileLimit); !read) {
        err << englishMessage(read) << '\n';
        return 1;
    }
    const Image::Inspection inspection
        = Image::inspectImage({reinterpret_cast<const quint8*>(data.constData()), static_cast<size_t>(data.size())});
    out << inspection.text;
    if (inspection.problems > 0) {
        err << QDir::toNativeSeparators(args[0]) << ": " << inspection.problems << " problem(s) found\n";
        return 1;
    }
    return 0;
}

} // namespace

bool configurationStateOf(const QString& folderArgument, const char* command, ProgramState& state, QTextStream& err)
{
    // Never a folder that only looks like one: a build there would make the image folder, and
    // PROJECTS would list a configuration named after it.
    if (const Result configuration = checkConfigurationFolder(folderArgument); !configuration) {
        err << "swquelmor-cli " << command << ": " << englishMessage(configuration) << '\n';
        return false;
    }
    const QFileInfo folder(folderArgument);
    // The same state the main window has for an active configuration.
    state.configurationName = folder.fileName();
    state.configurationFolder = QDir::cleanPath(folder.absoluteFilePath());
    return true;
}

bool holdConfiguration(ConfigurationLock& lock, const char* command, QTextStream& err)
{
    if (const Result held = lock.acquire(); !held) {
        err << "swquelmor-cli " << command << ": " << englishMessage(held) << " Nothing was written.\n";
        return false;
    }
    return true;
}

constinit const Command buildCommand = {"build", "[--force] PROJECT_FOLDER",
    "Builds the device images of a project. The images are built exactly as the update step does and written "
    "to bin/bank1.bin and bin/bank2.bin (exit 0), or the error is printed and nothing written (exit 1). A project that fails the "
    "checks of "
    "swquelmor-cli check is refused, its problems printed, unless --force is given. A folder that is not a configuration "
    "(one that holds none of ParGen.xml, IEC_61850_Client.xml, bin and ICD_Catalog, or a folder of configurations such as "
    "PROJECTS) is refused, and nothing is made in it.",
    build};

constinit const Command inspectCommand = {"inspect", "FILE.bin",
    "Shows what a device image holds. Decodes a parameter block (bank1.bin) or request tables (bank2.bin): every "
    "field by name, addresses resolved to their strings, the checksum checked. Exit 1 when something is not as a "
    "build writes it.",
    Inspect};
