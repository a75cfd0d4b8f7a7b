#pragma once
#include "ParameterBlock.h"
#include "ProgramState.h"
#include "RequestTables.h"
#include "Result.h"
#include <vector>

namespace Image {

// The two device images of a project and the buffers they are composed in. One instance
// serves every build of a run; each build recomputes everything from the project's files.
class TDevice_Image {
public:
    static constexpr qsizetype Bank1_Size = 0x20000;
    static constexpr qsizetype Bank2_Size = 0x80000; // the device's room for the request tables
    static_assert(Bank1_Size >= TParameterBlock::Size);

    TDevice_Image();

    // Composes both images from ParGen_File and IEC_Client_File and sets both lengths.
    // `decimalSeparator` is the user's (multiplication factors accept either separator).
    TResult Create_Bin(const TProgramState& state, QChar decimalSeparator);
    // Writes bin/bank1.bin and bin/bank2.bin of the project folder. Both files are written to
    // temporary files first and replace the old ones only when both are complete; a failure
    // names the file and leaves the old images in place.
    TResult Save_Bin(const TProgramState& state) const;

    std::span<const quint8> Bank1() const { return {Bank1_Buffer.data(), static_cast<size_t>(Bank1_Length)}; }
    std::span<const quint8> Bank2() const { return {Bank2_Buffer.data(), static_cast<size_t>(Bank2_Length)}; }

    TParameterBlock Parameter_Block;
    TIEC61850_Client IEC61850_Client;

private:
    std::vector<quint8> Bank1_Buffer;
    std::vector<quint8> Bank2_Buffer;
    qsizetype Bank1_Length = 0;
    qsizetype Bank2_Length = 0;
};

// The update step's build: Create_Bin, then Save_Bin only when the build succeeded. Used by the
// main window and by `swquelmor-cli build`.
TResult Build_Images(TDevice_Image& image, const TProgramState& state, QChar decimalSeparator);

} // namespace Image
