#pragma once
#include "Access_List.h"
#include "Result.h"
#include <functional>

// The project's SCL file catalog: plain copies of the imported SCL files in ICD_Catalog, and
// the device list that refers to them by position.

inline const QString ICD_Catalog_Name = QStringLiteral("ICD_Catalog");

// The filter of the import dialog.
inline const QString SCL_File_Filter = QStringLiteral(
    "SCL Files (*.scd, *.ssd, *.sed, *.icd, *.iid, *.cid)|*.scd; *.ssd; *.sed; *.icd; *.iid; *.cid;|Any File (*.*)|*.*");

// The question asked when the catalog already holds a file of the chosen name.
inline const QString Overwrite_Question = QStringLiteral("File already exists in catalog directory. Do you want to overwrite file?");

QString Catalog_Folder(const QString& projectFolder);

// True for a plain file name: no folder part and no "..", so that a stored name can only
// ever name a file inside the catalog folder.
bool Is_Catalog_File_Name(const QString& fileName);

enum class TOverwrite_Answer { Yes, No, Cancel };

// Copies `chosenPath` into the catalog (made on first use) and reads the catalog copy into a
// new device appended to the device list. When a file of that name is already there,
// `askOverwrite` decides: Yes replaces the copy, No keeps it and reads it, Cancel stops with
// nothing added. A failed copy or an unreadable SCL file adds no device and is returned.
TResult Import_SCL_File(TAccess_List& access, const QString& projectFolder, const QString& chosenPath,
    const std::function<TOverwrite_Answer()>& askOverwrite);

// Whether a variable or data set entry refers to the device at `index`.
bool Device_In_Use(const TAccess_List& access, int index);

// Removes the device at `index` unless it is in use (false, nothing changes); entries of the
// devices after it get their index decreased by one. The catalog file stays.
bool Remove_Device(TAccess_List& access, int index);

// The list box line of a device: its IED name, marked when its file is missing.
QString Device_List_Text(const TIEC_Device& device);
