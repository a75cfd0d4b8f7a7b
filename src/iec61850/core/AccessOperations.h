#pragma once
#include "iec61850/core/AccessFileModel.h" // fixedNumByte()
#include "iec61850/core/AccessList.h"

// Getting entries into and out of the access list, without any widget. Rows are grid rows
// counted from 1; every operation keeps each grid at one data row or more.

// The fixed-size rule over every data row of the variables grid: fixed-size types get Start
// Byte "0" and their Num Byte, both locked; every other row gets both cells unlocked, values
// kept. Locking belongs to the row position, so this runs after every add, remove and load.
void setStartNumByte(StringGrid& variableGrid);
// The same rule for one row, for operations that change only that row.
void setStartNumByte(StringGrid& variableGrid, int row);

// Adds a variable entry for a leaf attribute of the device at `deviceIndex`: the single row
// of an empty grid is reused, else a row is appended. Returns the row filled.
int addVariable(StringGrid& variableGrid, const DataAttribute& da, int deviceIndex);

// Adds a data set row and its entry, one empty member entry per member. Returns the row.
int addDataSet(AccessList& access, DataSet& dataSet, int deviceIndex);

// Removes a variables-grid row (the only row is blanked instead). A row outside the data rows
// removes nothing; the fixed-size rule runs in every case.
void removeVariable(StringGrid& variableGrid, int row);

// Removes a data set row together with its entry and blanks the members grid. A row without
// an entry removes nothing.
void removeDataSet(AccessList& access, int row);

// Fills the members grid with the member entries of data set row `row`, or blanks it when the
// row has no entry or the entry no members.
void showMembers(AccessList& access, int row);

// Stores an edited members-grid cell (Position to Mnemonic) in member `memberRow` of the data
// set entry of `dataSetRow`. False, storing nothing, for any other column or a missing entry.
bool storeMemberEdit(AccessList& access, int dataSetRow, int memberRow, int col, const QString& text);
