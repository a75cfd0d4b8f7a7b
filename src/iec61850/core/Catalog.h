#pragma once
#include "iec61850/core/AccessList.h"
#include "base/Result.h"
#include <functional>

// The project's SCL file catalog: plain copies of the imported SCL files in ICD_Catalog, and
// the device list that refers to them by position.

inline const QString icdCatalogName = QStringLiteral("ICD_Catalog");

// The filter of the import dialog.
inline const QString sclFileFilter = QStringLiteral(
    "SCL Files (*.scd, *.ssd, *.sed, *.icd, *.iid, *.cid)|*.scd; *.ssd; *.sed; *.icd; *.iid; *.cid;|Any File (*.*)|*.*");

// The question asked when the catalog already holds a file of the chosen name.
inline const QString overwriteQuestion
    = QStringLiteral("File already exists in catalog directory. Do you want to overwrite file?");

QString catalogFolder(const QString& projectFolder);

// True for a plain file name: no folder part and no "..", so that a stored name can only
// ever name a file inside the catalog folder.
bool isCatalogFileName(const QString& fileName);

enum class OverwriteAnswer { Yes, No, Cancel };

// Copies `chosenPath` into the catalog (made on first use) and reads the catalog copy into a
// new device appended to the device list. When a file of that name is already there,
// `askOverwrite` decides: Yes replaces the copy, No keeps it and reads it, Cancel stops with
// nothing added. The chosen file is read and parsed before it is copied: a file that cannot be
// read, is not well-formed or holds no IED (Text::ErrorSclWithoutIed with its path) is refused,
// adds no device and leaves the catalog as it was.
Result importSclFile(AccessList& access, const QString& projectFolder, const QString& chosenPath,
    const std::function<OverwriteAnswer()>& askOverwrite);

// Whether a variable or data set entry refers to the device at `index`.
bool deviceInUse(const AccessList& access, int index);

// Removes the device at `index` unless it is in use (false, nothing changes); entries of the
// devices after it get their index decreased by one. The catalog file stays.
bool removeDevice(AccessList& access, int index);

// The list box line of a device: its IED name, marked when its file is missing.
QString deviceListText(const Ied& device);
