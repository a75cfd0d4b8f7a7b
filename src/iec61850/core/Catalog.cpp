#include "Catalog.h"
#include "Files.h"
#include "SCL_Reader.h"
#include "WholeNumber.h"
#include <QDir>
#include <QFileInfo>

QString Catalog_Folder(const QString& projectFolder)
{
    return Join_Path(projectFolder, ICD_Catalog_Name);
}

bool Is_Catalog_File_Name(const QString& fileName)
{
    return !fileName.isEmpty() && !fileName.contains(u'/') && !fileName.contains(u'\\') && !fileName.contains(QStringLiteral(".."));
}

TResult Import_SCL_File(TAccess_List& access, const QString& projectFolder, const QString& chosenPath,
    const std::function<TOverwrite_Answer()>& askOverwrite)
{
    const QString folder = Catalog_Folder(projectFolder);
    if (!QDir().mkpath(folder))
        return TResult::Error(QStringLiteral("Cannot create the folder %1").arg(QDir::toNativeSeparators(folder)));
    const QString target = Join_Path(folder, QFileInfo(chosenPath).fileName());

    bool copy = true;
    if (QFileInfo::exists(target)) {
        switch (askOverwrite()) {
        case TOverwrite_Answer::Yes:
            break;
        case TOverwrite_Answer::No:
            copy = false;
            break;
        case TOverwrite_Answer::Cancel:
            return TResult::Success();
        }
    }
    if (copy) {
        // Read and replace in one step: a failed copy leaves any earlier catalog copy whole.
        QByteArray data;
        if (TResult read = Read_Whole_File(chosenPath, data); !read)
            return read;
        if (TResult written = Write_File_Atomic(target, data); !written)
            return written;
    }

    std::unique_ptr<TIEC_Device> device;
    if (TResult read = Read_SCL_File(target, device); !read)
        return read;
    access.List_IEC_Dev.push_back(std::move(device));
    return TResult::Success();
}

namespace {

// Calls `visit` with the index cell (column 1) of every data row of a grid.
template <typename Visit>
void For_Each_Index_Cell(const TGrid& grid, Visit visit)
{
    for (int row = 1; row < grid.Row_Count(); ++row)
        visit(row, To_Whole_Number(grid.Cell(1, row)));
}

void Renumber_After(TGrid& grid, int removed)
{
    For_Each_Index_Cell(grid, [&](int row, qint32 index) {
        if (index > removed)
            grid.Set_Cell(1, row, QString::number(index - 1));
    });
}

} // namespace

bool Device_In_Use(const TAccess_List& access, int index)
{
    if (index < 0)
        return false;
    bool used = false;
    const auto check = [&](int, qint32 cell) { used = used || cell == index; };
    For_Each_Index_Cell(access.ACG_DA, check);
    For_Each_Index_Cell(access.ACG_DataSet, check);
    return used;
}

bool Remove_Device(TAccess_List& access, int index)
{
    if (index < 0 || index >= static_cast<int>(access.List_IEC_Dev.size()) || Device_In_Use(access, index))
        return false;
    access.List_IEC_Dev.erase(access.List_IEC_Dev.begin() + index);
    Renumber_After(access.ACG_DA, index);
    Renumber_After(access.ACG_DataSet, index);
    return true;
}

QString Device_List_Text(const TIEC_Device& device)
{
    if (!device.File_Missing)
        return device.Name;
    return QStringLiteral("%1 [file missing: %2]").arg(device.Name, device.FileName);
}
