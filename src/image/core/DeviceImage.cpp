#include "image/core/DeviceImage.h"
#include "base/Files.h"
#include "base/TextNumbers.h"
#include "configuration/core/ConfigurationPaths.h"
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

Result DeviceImage::buildImages(const ConfigurationPaths& configuration, QChar decimalSeparator)
{
    // A failed build leaves no image that writeImages() could write.
    bank1Length = bank2Length = 0;
    initParameterBlock(parameterBlock);
    clearRequestTables(requestTables);
    if (auto loaded = loadParGen(parameterBlock, configuration.communicationFile(), requestTables); !loaded)
        return loaded;
    putU32(parameterBlock.bytes, block::requestTablesAdd, requestTablesAddress);
    if (auto loaded
        = loadRequestTables(requestTables, configuration.accessFile(), requestTablesAddress, decimalSeparator, bank2Size);
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

Result DeviceImage::writeImages(const ConfigurationPaths& configuration) const
{
    if (bank1Length == 0)
        return Result::failed(Text::ErrorNoImageBuilt);
    const QString bin = configuration.imageFolder();
    // A bin folder removed by hand is made again: the images are the build's product.
    if (!QDir().mkpath(bin))
        return Result::failed(Text::ErrorFolderNotCreated, {QDir::toNativeSeparators(bin)});
    auto bytesOf = [](std::span<const quint8> image) {
        return QByteArray::fromRawData(reinterpret_cast<const char*>(image.data()), static_cast<qsizetype>(image.size()));
    };
    // Both images are complete on disk before either replaces its old file, so a full disk or
    // a locked file never leaves a new bank1.bin beside an old bank2.bin.
    const FileContents files[] = {{configuration.bank1File(), bytesOf(bank1())}, {configuration.bank2File(), bytesOf(bank2())}};
    return writeFilesAtomically(files);
}

Result checkImageTargets(const ProgramState& state)
{
    const auto outside
        = [](const QString& path) { return Result::failed(Text::ErrorWriteThroughLink, {QDir::toNativeSeparators(path)}); };
    const ConfigurationPaths configuration = configurationPaths(state);
    const QString& folder = configuration.folder();
    const QString container = state.projectsFolder.isEmpty() ? QFileInfo(folder).absolutePath() : state.projectsFolder;
    if (!staysInside(folder, container))
        return outside(folder);
    for (const QString& path : {configuration.imageFolder(), configuration.bank1File(), configuration.bank2File()})
        if (!staysInside(path, folder))
            return outside(path);
    return Result::success();
}

Result buildAndWriteImages(DeviceImage& image, const ProgramState& state, QChar decimalSeparator)
{
    // Checked before anything is written: a link must not carry the images out of the configuration.
    if (auto inside = checkImageTargets(state); !inside)
        return inside;
    const ConfigurationPaths configuration = configurationPaths(state);
    if (auto built = image.buildImages(configuration, decimalSeparator); !built)
        return built;
    return image.writeImages(configuration);
}

} // namespace Image
