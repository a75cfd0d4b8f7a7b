#pragma once
#include "iec61850/core/Grid.h"
#include "base/Result.h"
#include <QChar>

class TextTable;

// Highest index of the converter's internal data array.
constexpr int maxPosition = 1399;

// Checks the variables grid row by row from the top, the checks of each row in their fixed
// order, and stops at the first failure. The failure is Text::ErrorRow with the row number and the
// check's text as argument ("Error row 3!! Port must be between 0 and 65535"). A row with an
// empty bType is skipped. `decimalSeparator` is the system's, "," or ".".
Result validateVariables(const StringGrid& variableGrid, QChar decimalSeparator, const TextTable& texts);
