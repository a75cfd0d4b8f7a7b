#include "ImageBuild.h"
#include "Files.h"
#include "LittleEndian.h"
#include <QDir>
#include <QSaveFile>
#include <memory>

namespace Image {

TDevice_Image::TDevice_Image()
    : Bank1_Buffer(Bank1_Size)
    , Bank2_Buffer(Bank2_Size)
{
}

TResult TDevice_Image::Create_Bin(const TProgramState& state, QChar decimalSeparator)
{
    // A failed build leaves no image that Save_Bin could write.
    Bank1_Length = Bank2_Length = 0;
    Init_Parameter_Block(Parameter_Block);
    Clear_IEC61850_Client(IEC61850_Client);
    if (auto loaded = Load_Par_Gen(Parameter_Block, state.ParGen_File, IEC61850_Client); !loaded)
        return loaded;
    Put_U32(Parameter_Block.Bytes, Block::Request_Tables_Add, Request_Tables_Address);
    if (auto loaded = Load_IEC61850_Client(IEC61850_Client, state.IEC_Client_File, Request_Tables_Address, decimalSeparator); !loaded)
        return loaded;
    qsizetype bank2End = 0;
    if (auto written = Write_IEC61850_Client(IEC61850_Client, Bank2_Buffer, 0, Bank2_Size - 1, bank2End); !written)
        return written;
    // The block is copied last, after its last field has been set.
    Bank1_Length = Copy_Parameter_Block(Parameter_Block, Bank1_Buffer, 0);
    Bank2_Length = bank2End;
    return TResult::Success();
}

TResult TDevice_Image::Save_Bin(const TProgramState& state) const
{
    if (Bank1_Length == 0)
        return TResult::Error(QStringLiteral("No device image has been built."));
    const QString bin = Join_Path(state.Project_Folder, QStringLiteral("bin"));
    const struct {
        QString Path;
        std::span<const quint8> Bytes;
    } files[] = {{Join_Path(bin, QStringLiteral("bank1.bin")), Bank1()}, {Join_Path(bin, QStringLiteral("bank2.bin")), Bank2()}};

    auto failure = [](const QString& path, const QString& reason) {
        return TResult::Error(QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), reason));
    };
    // Both images are complete on disk before either replaces its old file, so a full disk or
    // a locked file never leaves a new bank1.bin beside an old bank2.bin.
    std::unique_ptr<QSaveFile> saves[2];
    for (int i = 0; i < 2; ++i) {
        saves[i] = std::make_unique<QSaveFile>(files[i].Path);
        QSaveFile& f = *saves[i];
        const auto size = static_cast<qint64>(files[i].Bytes.size());
        if (!f.open(QIODevice::WriteOnly) || f.write(reinterpret_cast<const char*>(files[i].Bytes.data()), size) != size)
            return failure(files[i].Path, f.errorString());
    }
    for (int i = 0; i < 2; ++i)
        if (!saves[i]->commit())
            return failure(files[i].Path, saves[i]->errorString());
    return TResult::Success();
}

TResult Build_Images(TDevice_Image& image, const TProgramState& state, QChar decimalSeparator)
{
    if (auto built = image.Create_Bin(state, decimalSeparator); !built)
        return built;
    return image.Save_Bin(state);
}

} // namespace Image
