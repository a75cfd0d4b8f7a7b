#include "update/core/UpdateSummary.h"
#include "configuration/core/ConfigurationPaths.h"
#include "image/core/LittleEndian.h"
#include "update/core/UpdateDescriptor.h"
#include <QFileInfo>

UpdateSummary summarizeUpdate(const Image::DeviceImage& image, const ProgramState& state, const QString& address, int option)
{
    UpdateSummary summary;
    summary.configuration = state.configurationName;
    summary.address = address;
    summary.option = option;
    const ConfigurationPaths configuration = configurationPaths(state);
    summary.bank1File = configuration.bank1File();
    summary.bank2File = configuration.bank2File();
    summary.bank1Bytes = static_cast<qint64>(image.bank1().size());
    summary.bank2Bytes = static_cast<qint64>(image.bank2().size());
    summary.variables = image.requestTables.nVariable;
    summary.dataSets = image.requestTables.nDataSet;
    // As the block carries it, in its last word.
    summary.checksum = Image::getU32(image.bank1(), Image::block::checksum);
    summary.firmwareFile = firmwareFile(state.masterFolder);
    summary.firmwarePresent = QFileInfo(summary.firmwareFile).isFile();
    return summary;
}
