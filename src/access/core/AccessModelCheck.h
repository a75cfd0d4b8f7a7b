#pragma once
#include "access/core/AccessFileModel.h"
#include "scl/core/DeviceModel.h"
#include "base/Problems.h"
#include <memory>
#include <vector>

class TextTable;

// The rows of an access list that the next load of its access file would not give back as they
// are, judged against the device models of their SCL files: an Index that is no device of the
// list, a device whose SCL file is missing from the catalog, is not a regular file or cannot be
// read, a data set that its device's model does not have, and a data set whose members are not
// exactly the model's members in the model's order (loading drops those that do not match at
// their place; a point list cannot give them back). Each is an error worded and placed as the
// row checks word and place theirs ("Error row 3!! ...", "Error DataSet row 2!! ..."), one per
// row; rows whose bType is empty are skipped, as the row checks skip them.

// Against `devices`, the access list's devices in order (placeholders for files that are
// missing or cannot be read); a null device must not be used by any row.
Problems checkRowsAgainstModels(
    const AccessFileModel& model, const std::vector<std::unique_ptr<Ied>>& devices, const TextTable& texts);

// The same for a stored access file: the devices that rows use are read from `catalogFolder`
// as loading reads them (through the cache of models), and given back afterwards.
Problems checkRowsAgainstCatalog(const AccessFileModel& model, const QString& catalogFolder, const TextTable& texts);
