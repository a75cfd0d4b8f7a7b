#pragma once
#include "Grid.h"
#include "Result.h"
#include <QChar>

class TText_Table;

// Highest index of the converter's internal data array.
constexpr int Max_Position = 1399;

// Checks the variables grid row by row from the top, the checks of each row in their fixed
// order, and stops at the first failure. The failure is text 1252 with the row number and the
// check's text as argument ("Error row 3!! Port must be between 0 and 65535"). A row with an
// empty bType is skipped. `decimalSeparator` is the system's, "," or ".".
TResult Controllo_dati(const TGrid& acg_da, QChar decimalSeparator, const TText_Table& texts);
