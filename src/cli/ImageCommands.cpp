#include "ImageCommands.h"
#include "Common.h"
#include "Files.h"
#include "ImageBuild.h"
#include "ImageInspect.h"
#include <QDir>
#include <QFileInfo>
#include <QLocale>

namespace {

int Build(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 1) {
        err << "usage: swquelmor-cli build PROJECT_FOLDER\n";
        return 2;
    }
    const QFileInfo folder(args[0]);
    if (!folder.isDir()) {
        err << "swquelmor-cli build: " << QDir::toNativeSeparators(args[0]) << " is not a project folder\n";
        return 1;
    }
    // The same state the main window has for an active project: the files come from the folder.
    TProgramState state;
    state.Project_Name = folder.fileName();
    state.Project_Folder = QDir::cleanPath(folder.absoluteFilePath());
    state.Set_Files();
    Image::TDevice_Image image;
    const TResult built = Image::Build_Images(image, state, Get_Decimal_Separator(QLocale::system().decimalPoint()));
    if (!built) {
        err << built.Message << '\n';
        return 1;
    }
    const QString bin = Join_Path(state.Project_Folder, QStringLiteral("bin"));
    out << QDir::toNativeSeparators(Join_Path(bin, QStringLiteral("bank1.bin"))) << ": " << image.Bank1().size() << " bytes\n"
        << QDir::toNativeSeparators(Join_Path(bin, QStringLiteral("bank2.bin"))) << ": " << image.Bank2().size() << " bytes\n";
    return 0;
}

int Inspect(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 1) {
        err << "usage: swquelmor-cli inspect FILE.bin\n";
        return 2;
    }
    QByteArray data;
    if (const TResult read = Read_Whole_File(args[0], data); !read) {
        err << read.Message << '\n';
        return 1;
    }
    const Image::TInspection inspection = Image::Inspect_Image({reinterpret_cast<const quint8*>(data.constData()), static_cast<size_t>(data.size())});
    out << inspection.Text;
    if (inspection.Problems > 0) {
        err << QDir::toNativeSeparators(args[0]) << ": " << inspection.Problems << " problem(s) found\n";
        return 1;
    }
    return 0;
}

} // namespace

constinit const TCommand Build_Command = {"build", "PROJECT_FOLDER",
    "Builds the device images of a project exactly as the update step does and writes bin/bank1.bin and "
    "bin/bank2.bin (exit 0), or prints the error and writes nothing (exit 1).",
    Build};

constinit const TCommand Inspect_Command = {"inspect", "FILE.bin",
    "Decodes a parameter block (bank1.bin) or request tables (bank2.bin): every field by name, addresses "
    "resolved to their strings, the checksum checked. Exit 1 when something is not as a build writes it.",
    Inspect};
