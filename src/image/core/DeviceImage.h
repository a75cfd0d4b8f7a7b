#pragma once
#include "base/Files.h"
#include "image/core/ParameterBlock.h"
#include "base/ProgramState.h"
#include "image/core/RequestTables.h"
#include "base/Result.h"
#include <vector>

// The most this kind of file may have; its writer refuses to write more.
inline constexpr ReadLimit imageFileLimit{64 * mebibyte, "an image file"};

class ConfigurationPaths;

namespace Image {

// The two device images of a configuration and the buffers they are composed in. One instance
// serves every build of a run; each build recomputes everything from the configuration's files.
class DeviceImage {
public:
    static constexpr qsizetype bank1Size = 0x20000;
    static constexpr qsizetype bank2Size = 0x80000; // the device's room for the request tables
    static_assert(bank1Size >= ParameterBlock::size);

    DeviceImage();

    // Composes both images from the configuration's communication and access files and sets
    // both lengths. `decimalSeparator` is the user's (multiplication factors accept "," and
    // ".").
    Result buildImages(const ConfigurationPaths& configuration, QChar decimalSeparator);
    // Writes both images into the configuration's image folder, making it again when it is
    // missing. Both files are written to temporary files first and replace the old ones only
    // when both are complete; a failure names the file and leaves the old images in place.
    Result writeImages(const ConfigurationPaths& configuration) const;

    std::span<const quint8> bank1() const { return {bank1Buffer.data(), static_cast<size_t>(bank1Length)}; }
    std::span<const quint8> bank2() const { return {bank2Buffer.data(), static_cast<size_t>(bank2Length)}; }

    ParameterBlock parameterBlock;
    RequestTables requestTables;

private:
    std::vector<quint8> bank1Buffer;
    std::vector<quint8> bank2Buffer;
    qsizetype bank1Length = 0;
    qsizetype bank2Length = 0;
};

// Whether the images stay inside the configuration, links resolved: the configuration folder
// inside PROJECTS (or, without one, inside the folder that holds it), its image folder and both
// images inside the configuration. An error names the path that leads outside.
Result checkImageTargets(const ProgramState& state);

// The update step's build: checkImageTargets(), buildImages(), then writeImages() only when the
// build succeeded. Used by the main window and by `swquelmor-cli build`.
Result buildAndWriteImages(DeviceImage& image, const ProgramState& state, QChar decimalSeparator);

} // namespace Image
