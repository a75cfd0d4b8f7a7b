#include "access/core/Catalog.h"
#include "base/Files.h"
#include "configuration/core/ConfigurationPaths.h"
#include "scl/core/SclFiles.h"
#include "scl/core/SclReader.h"
#include "base/TextNumbers.h"
#include "base/TextTable.h"
#include "base/WholeNumber.h"
#include <QDir>
#include <QFileInfo>

QString sclFileFilter()
{
    QStringList patterns;
    for (const QString& suffix : sclFileSuffixes)
        patterns << QStringLiteral("*.") + suffix;
    return QStringLiteral("SCL Files (%1)|%2;|Any File (*.*)|*.*")
        .arg(patterns.join(QStringLiteral(", ")), patterns.join(QStringLiteral("; ")));
}

bool isCatalogFileName(const QString& fileName)
{
    return !fileName.isEmpty() && !fileName.contains(u'/') && !fileName.contains(u'\\')
        && !fileName.contains(QStringLiteral(".."));
}

namespace {

// A file without an IED (or without the type templates it needs) reads as a nameless device:
// it would only add a blank line to the device list.
Result refuseWithoutIed(const std::unique_ptr<Ied>& device, const QString& path)
{
    if (device && device->name.isEmpty())
        return Result::failed(Text::ErrorSclWithoutIed, {QDir::toNativeSeparators(path)});
    return Result::success();
}

// Fewer than two "<IED" in a file of 8-bit text: no choice to make, and no second parse. UTF-16
// and UTF-32 (a zero byte among the first four) are always looked at.
bool mayHoldSeveralIeds(const QByteArray& data) { return data.left(4).contains('\0') || data.count("<IED") > 1; }

} // namespace

Result importSclFile(AccessList& access, const QString& configurationFolder, const QString& chosenPath,
    const std::function<OverwriteAnswer()>& askOverwrite, const IedChooser& chooseIed)
{
    const QString folder = ConfigurationPaths(configurationFolder).catalogFolder();
    const QString target = joinPath(folder, QFileInfo(chosenPath).fileName());
    // As bin and the images: a link must not carry the copy out of the configuration.
    for (const QString& path : {folder, target})
        if (!staysInside(path, configurationFolder))
            return Result::failed(Text::ErrorWriteThroughLink, {QDir::toNativeSeparators(path)});

    bool copy = true;
    if (QFileInfo::exists(target)) {
        switch (askOverwrite()) {
        case OverwriteAnswer::Yes:
            break;
        case OverwriteAnswer::No:
            copy = false;
            break;
        case OverwriteAnswer::Cancel:
            return Result::success();
        }
    }

    // The file is read once and parsed from memory before anything is written: a file that is
    // no usable SCL never replaces the copy already in the catalog.
    const QString source = copy ? chosenPath : target;
    QByteArray data;
    if (Result read = readWholeFile(source, data, sclFileLimit); !read)
        return read;
    QString iedName;
    if (mayHoldSeveralIeds(data)) {
        std::vector<IedSummary> ieds;
        if (Result listed = listSclIeds(data, source, ieds); !listed)
            return listed;
        if (ieds.size() > 1) {
            const std::optional<int> chosen = chooseIed ? chooseIed(ieds) : std::optional<int>(preferredIed(ieds));
            if (!chosen || *chosen < 0 || size_t(*chosen) >= ieds.size())
                return Result::success();
            iedName = ieds[size_t(*chosen)].name;
        }
    }
    std::unique_ptr<Ied> device;
    if (Result parsed = readSclData(data, source, iedName, device); !parsed)
        return parsed;
    if (Result refused = refuseWithoutIed(device, source); !refused)
        return refused;
    if (copy) {
        if (!QDir().mkpath(folder))
            return Result::failed(Text::ErrorFolderNotCreated, {QDir::toNativeSeparators(folder)});
        if (Result written = writeFileAtomically(target, data); !written)
            return written;
    }
    // A second entry of the same IED would be an identical line that rows could point at in
    // turn; the rows' data sets hold the listed model, so it is not swapped under them either.
    for (const auto& listed : access.devices)
        if (listed->name == device->name && listed->fileName == device->fileName)
            return Result::failed(copy ? Text::ErrorDeviceListedCopyReplaced : Text::ErrorDeviceListed,
                {QStringLiteral("%1 - %2").arg(device->name, device->fileName)});
    access.devices.push_back(std::move(device));
    return Result::success();
}

namespace {

// Calls `visit` with the index cell (column 1) of every data row of a grid.
template <typename Visit> void forEachIndexCell(const StringGrid& grid, Visit visit)
{
    for (int row = 1; row < grid.rowCount(); ++row)
        visit(row, toWholeNumber(grid.cell(1, row)));
}

void renumberAfter(StringGrid& grid, int removed)
{
    forEachIndexCell(grid, [&](int row, qint32 index) {
        if (index > removed)
            grid.setCell(1, row, QString::number(index - 1));
    });
}

} // namespace

DeviceUse deviceUse(const AccessList& access, int index)
{
    DeviceUse use;
    forEachIndexCell(access.variableGrid, [&](int row, qint32 cell) {
        if (cell == index)
            use.variableRows << row;
    });
    forEachIndexCell(access.dataSetGrid, [&](int row, qint32 cell) {
        if (cell == index)
            use.dataSetRows << row;
    });
    return use;
}

bool deviceInUse(const AccessList& access, int index)
{
    // A cell that is not a whole number counts as -1 and refers to no device.
    if (index < 0)
        return false;
    const DeviceUse use = deviceUse(access, index);
    return !use.variableRows.isEmpty() || !use.dataSetRows.isEmpty();
}

QString deviceUseText(const DeviceUse& use, int most)
{
    const auto rows = [most](const QString& page, const QList<int>& list) {
        QStringList numbers;
        for (int row : list.mid(0, most))
            numbers << QString::number(row);
        if (list.size() > most)
            numbers << QStringLiteral("...");
        return page + QStringLiteral(": ") + numbers.join(QStringLiteral(", "));
    };
    QStringList parts;
    // The page names are the window's own fixed captions.
    if (!use.variableRows.isEmpty())
        parts << rows(QStringLiteral("Variables"), use.variableRows);
    if (!use.dataSetRows.isEmpty())
        parts << rows(QStringLiteral("DataSet"), use.dataSetRows);
    return parts.join(QStringLiteral("; "));
}

bool removeDevice(AccessList& access, int index)
{
    if (index < 0 || index >= static_cast<int>(access.devices.size()) || deviceInUse(access, index))
        return false;
    access.devices.erase(access.devices.begin() + index);
    renumberAfter(access.variableGrid, index);
    renumberAfter(access.dataSetGrid, index);
    return true;
}

QString deviceListText(const Ied& device, const TextTable& texts)
{
    if (!device.fileMissing)
        return QStringLiteral("%1 - %2").arg(device.name, device.fileName);
    return fillPlaceholders(
        texts[device.fileError.isEmpty() ? Text::DeviceFileMissing : Text::DeviceFileUnreadable], {device.name, device.fileName});
}
