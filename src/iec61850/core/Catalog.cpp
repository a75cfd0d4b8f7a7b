#include "iec61850/core/Catalog.h"
#include "base/Files.h"
#include "iec61850/core/SclReader.h"
#include "base/TextNumbers.h"
#include "base/WholeNumber.h"
#include <QDir>
#include <QFileInfo>

QString catalogFolder(const QString& projectFolder) { return joinPath(projectFolder, icdCatalogName); }

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
        return Result::textError(Text::ErrorSclWithoutIed, QDir::toNativeSeparators(path));
    return Result::success();
}

} // namespace

Result importSclFile(AccessList& access, const QString& projectFolder, const QString& chosenPath,
    const std::function<OverwriteAnswer()>& askOverwrite)
{
    const QString folder = catalogFolder(projectFolder);
    const QString target = joinPath(folder, QFileInfo(chosenPath).fileName());

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

    std::unique_ptr<Ied> device;
    if (!copy) {
        if (Result read = readSclFile(target, device); !read)
            return read;
        if (Result refused = refuseWithoutIed(device, target); !refused)
            return refused;
        access.devices.push_back(std::move(device));
        return Result::success();
    }

    // The chosen file is read once and parsed from memory before anything is written: a file
    // that is no usable SCL never replaces the copy already in the catalog.
    QByteArray data;
    if (Result read = readWholeFile(chosenPath, data, sclFileLimit); !read)
        return read;
    if (Result parsed = readSclData(data, chosenPath, device); !parsed)
        return parsed;
    if (Result refused = refuseWithoutIed(device, chosenPath); !refused)
        return refused;
    if (!QDir().mkpath(folder))
        return Result::error(QStringLiteral("Cannot create the folder %1").arg(QDir::toNativeSeparators(folder)));
    if (Result written = writeFileAtomically(target, data); !written)
        return written;
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

bool deviceInUse(const AccessList& access, int index)
{
    if (index < 0)
        return false;
    bool used = false;
    const auto check = [&](int, qint32 cell) { used = used || cell == index; };
    forEachIndexCell(access.variableGrid, check);
    forEachIndexCell(access.dataSetGrid, check);
    return used;
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

QString deviceListText(const Ied& device)
{
    if (!device.fileMissing)
        return device.name;
    if (!device.fileError.isEmpty())
        return QStringLiteral("%1 [file unreadable: %2]").arg(device.name, device.fileName);
    return QStringLiteral("%1 [file missing: %2]").arg(device.name, device.fileName);
}
