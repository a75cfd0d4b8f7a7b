#pragma once
#include "base/Files.h"
#include "access/core/AccessFileModel.h"
#include "access/core/AccessList.h"
#include "base/Result.h"
#include <QStringList>
#include <functional>

class TextTable;

// The most this kind of file may have; its writer refuses to write more.
inline constexpr ReadLimit accessFileLimit{256 * mebibyte, "an access file"};

// IEC_61850_Client.xml: the access list of a project, with the SCL files it uses.

// What loading had to leave out, for the engineer to hear about before anything is saved.
struct AccessFileReport {
    QStringList missingFiles; // stored file names with no catalog file behind them
    QList<Result> unmatchedMembers; // one line per data set entry whose stored members do not match its SCL file
    QList<Result> unreadableFiles; // one line per catalog file that is there but cannot be read: the reason

    // One warning text each in the language of `texts`, or an empty text when there is nothing to say.
    QString missingFilesWarning(const TextTable& texts) const;
    QString unreadableFilesWarning(const TextTable& texts) const;
    QString unmatchedMembersWarning(const TextTable& texts) const;
};

// The device of each stored device item, read from `catalogFolder` as loading reads it: a file
// that is missing, not a regular file or cannot be read gives an empty placeholder
// (Ied::fileMissing), reported. Items for which `wanted` says false are not read: null.
void readCatalogDevices(const std::vector<StoredDevice>& items, const QString& catalogFolder,
    std::vector<std::unique_ptr<Ied>>& devices, AccessFileReport& report, const std::function<bool(size_t)>& wanted = {});
// Gives the devices of readCatalogDevices() back to the cache of models and empties the list.
void giveBackDevices(std::vector<std::unique_ptr<Ied>>& devices);

// Empties the device list, the data set list and the three grids (one blank data row each).
void clearAccessList(AccessList& access);

// Writes the whole file from the device list, the grids and the data set entries.
Result saveAccessFile(const AccessList& access, const QString& path);

// Rebuilds the access list from `path`, reading the devices from `catalogFolder`. No file
// gives an empty list. A device whose file is missing from the catalog or cannot be read stays
// as an empty placeholder at its position, reported. Stored data set members are linked to
// their SCL attributes where they match at their place; the others stay as stored, unlinked,
// reported, so that nothing is lost (the checks refuse them). A malformed file or item stops
// loading with an error naming it; what was read before stays. setStartNumByte() is applied to
// the variables read.
Result loadAccessFile(const QString& path, const QString& catalogFolder, AccessList& access, AccessFileReport& report);

// The data set of `device` with that reference (logical devices, logical nodes, data sets in
// order); null when there is none.
DataSet* findDataSet(const Ied& device, const QString& reference);
