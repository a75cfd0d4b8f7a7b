#pragma once
#include "access/core/AccessFileModel.h"
#include "access/core/AccessList.h"
#include "base/Problems.h"
#include <QChar>

class TextTable;

// Highest index of the converter's internal data array.
constexpr int maxPosition = 1399;

// The checks of every row that reaches the request tables, one set for the access window's OK,
// the update step and `swquelmor-cli check`. Rows are counted from 1 as the window counts
// them; a variable whose bType is empty is skipped. Each failing check is one error whose
// message is the window's: "Error row 3!! Port must be between 0 and 65535" for a variable,
// "Error DataSet row 2!! ..." for a data set and "Error DataSet row 2, member 3!! ..." for a
// member. Variables come first, then data sets, each with its members; within a row the
// checks keep their fixed order, and Start Byte plus Num Byte is checked only when both pass.
// A variable: the window's checks (Start Byte and Num Byte of VisString255 and Octet64, IP
// Address, Port, Time with On Timer "Y", Position, Mult Fact), then the Start Byte and Num Byte
// of other entered sizes and a Time without timer (blank, read as the build's fallback, or a
// whole number that fits), Start Bit (0 to 7, empty read as 0), R/W ("Read" or "Write"),
// Convertion, the flags ("Y", "N" or empty, as the build reads exactly "Y") and an fc of at most
// two characters. A data set row: IP Address, Port, Time (always on its timer), at least one
// member and En. Goose; each member: Position, Start Bit, Convertion, Mult Fact. Last, every
// cell's characters: none that the access file cannot hold, and none above U+00FF in a text that
// the device receives one byte per character (bType, fc, references, addresses, GOOSE name).
// Problems name the row and the stored attribute, not the file. `decimalSeparator` is the
// system's, "," or ".".
Problems checkAccessRows(const AccessFileModel& model, QChar decimalSeparator, const TextTable& texts);

// The access file that the window's grids and data set entries would be saved as (texts only).
AccessFileModel accessFileModelOf(const AccessList& access);

// The window's OK: the first problem of checkAccessRows() over its lists, then of
// checkRowsAgainstModels() over its devices, or success.
Result validateAccessList(const AccessList& access, QChar decimalSeparator, const TextTable& texts);

// The checks of data set row `row` alone: the grid's row and the members of its entry.
Result validateDataSet(const StringGrid& dataSetGrid, const std::vector<std::unique_ptr<DataSetEntry>>& dataSets, int row,
    QChar decimalSeparator, const TextTable& texts);

// The same for the variables grid alone.
Result validateVariables(const StringGrid& variableGrid, QChar decimalSeparator, const TextTable& texts);
