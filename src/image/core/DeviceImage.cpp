#include "image/core/DeviceImage.h"
#include "base/Files.h"
#include "base/TextNumbers.h"
#include "image/core/LittleEndian.h"
#include <QDir>
#include <QFileInfo>
#include <memory>

namespace Image {

DeviceImage::DeviceImage()
    : bank1Buffer(bank1Size)
    , bank2Buffer(bank2Size)
{
}

Result DeviceImage::buildImages(const ProgramState& state, QChar decimalSeparator)
{
    // A failed build leaves no image that writeImages() could write.
    bank1Length = bank2Length = 0;
    initParameterBlock(parameterBlock);
    clearRequestTables(requestTables);
    if (auto loaded = loadParGen(parameterBlock, state.parGenFile, requestTables); !loaded)
        return loaded;
    putU32(parameterBlock.bytes, block::requestTablesAdd, requestTablesAddress);
    if (auto loaded = loadRequestTables(requestTables, state.accessFile, requestTablesAddress, decimalSeparator, bank2Size);
        !loaded)
        return loaded;
    qsizetype bank2End = 0;
    if (auto written = writeRequestTables(requestTables, bank2Buffer, 0, bank2Size - 1, bank2End); !written)
        return written;
    // The block is copied last, after its last field has been set.
    bank1Length = copyParameterBlock(parameterBlock, bank1Buffer, 0);
    bank2Length = bank2End;
    return Result::success();
}

Result DeviceImage::writeImages(const ProgramState& state) const
{
    if (bank1Length == 0)
        return Result::failed(Text::ErrorNoImageBuilt);
    const QString bin = joinPath(state.projectFolder, QStringLiteral("bin"));
    // A bin folder removed by hand is made again: the images are the build's product.
    if (!QDir().mkpath(bin))
        return Result::failed(Text::ErrorFolderNotCreated, {QDir::toNativeSeparators(bin)});
    auto bytesOf = [](std::span<const quint8> image) {
        return QByteArray::fromRawData(reinterpret_cast<const char*>(image.data()), static_cast<qsizetype>(image.size()));
    };
    // Both images are complete on disk before either replaces its old file, so a full disk or
    // a locked file never leaves a new bank1.bin beside an old bank2.bin.
    const FileContents files[] = {{joinPath(bin, QStringLiteral("bank1.bin")), bytesOf(bank1())},
        {joinPath(bin, QStringLiteral("bank2.bin")), bytesOf(bank2())}};
    return writeFilesAtomically(files);
}

Result checkImageTargets(const ProgramState& state)
{
    const auto outside
        = [](const QString& path) { return Result::failed(Text::ErrorWriteThroughLink, {QDir::toNativeSeparators(path)}); };
    const QString container
        = state.projectsFolder.isEmpty() ? QFileInfo(state.projectFolder).absolutePath() : state.projectsFolder;
    if (!staysInside(state.projectFolder, container))
        return outside(state.projectFolder);
    const QString bin = joinPath(state.projectFolder, QStringLiteral("bin"));
    for (const QString& path : {bin, joinPath(bin, QStringLiteral("bank1.bin")), joinPath(bin, QStringLiteral("bank2.bin"))})
        if (!staysInside(path, state.projectFolder))
            return outside(path);
    return Result::success();
}

Result buildAndWriteImages(DeviceImage& image, const ProgramState& state, QChar decimalSeparator)
{
    // Checked before anything is written: a link must not carry the images out of the configuration.
    if (auto inside = checkImageTargets(state); !inside)
        return inside;
    if (auto built = image.buildImages(state, decimalSeparator); !built)
        return built;
    return image.writeImages(state);
}

} // namespace Image
