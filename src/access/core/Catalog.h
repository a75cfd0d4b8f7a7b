#pragma once
#include "access/core/AccessList.h"
#include "scl/core/SclIedList.h"
#include "base/Result.h"
#include <functional>

class TextTable;
#include <optional>

// The configuration's SCL file catalog: plain copies of the imported SCL files in its catalog folder, and
// the device list that refers to them by position.

// The filter of the import dialog: every SCL ending, then any file.
QString sclFileFilter();

// True for a plain file name: no folder part and no "..", so that a stored name can only
// ever name a file inside the catalog folder.
bool isCatalogFileName(const QString& fileName);

enum class OverwriteAnswer { Yes, No, Cancel };

// Picks one of the IEDs of a file that holds several: its position in `ieds`, or nothing to
// cancel the import.
using IedChooser = std::function<std::optional<int>(const std::vector<IedSummary>& ieds)>;

// Copies `chosenPath` into the catalog (made on first use) and reads the catalog copy into a
// new device appended to the device list. When a file of that name is already there,
// `askOverwrite` decides: Yes replaces the copy, No keeps it and reads it, Cancel stops with
// nothing added. A file of several IEDs asks `chooseIed` which one to read (without a chooser:
// the one preferredIed() names); cancelling there adds nothing and writes nothing. The chosen
// file is read and parsed before it is copied: a file that cannot be read, is not well-formed or
// holds no IED (Text::ErrorSclWithoutIed with its path) is refused, adds no device and leaves the
// catalog as it was.
Result importSclFile(AccessList& access, const QString& configurationFolder, const QString& chosenPath,
    const std::function<OverwriteAnswer()>& askOverwrite, const IedChooser& chooseIed = {});

// Whether a variable or data set entry refers to the device at `index`.
bool deviceInUse(const AccessList& access, int index);

// The rows that refer to the device at `index`, counted from 1 in each grid.
struct DeviceUse {
    QList<int> variableRows;
    QList<int> dataSetRows;
};
DeviceUse deviceUse(const AccessList& access, int index);
// "Variables rows 1, 4, 7 ...; DataSet rows 2": at most `most` rows of each grid.
QString deviceUseText(const DeviceUse& use, int most = 5);

// Removes the device at `index` unless it is in use (false, nothing changes); entries of the
// devices after it get their index decreased by one. The catalog file stays.
bool removeDevice(AccessList& access, int index);

// The list box line of a device: "IED name - file name", so that several IEDs of one file and
// the same IED from two files are told apart; marked when its file is missing.
QString deviceListText(const Ied& device, const TextTable& texts);
