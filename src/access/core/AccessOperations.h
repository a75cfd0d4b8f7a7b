#pragma once
#include "access/core/AccessFileModel.h" // fixedNumByte()
#include "access/core/AccessList.h"

// Getting entries into and out of the access list, without any widget. Rows are grid rows
// counted from 1; every operation keeps each grid at one data row or more.

// The fixed-size rule over every data row of the variables grid: fixed-size types get Start
// Byte "0" and their Num Byte, both locked; every other row gets both cells unlocked, values
// kept. Locking belongs to the row position, so this runs after every add, remove and load.
void setStartNumByte(StringGrid& variableGrid);
// The same rule for one row, for operations that change only that row.
void setStartNumByte(StringGrid& variableGrid, int row);

// Start Bit and Convertion cells left empty (files of earlier versions) show what the build
// reads them as: "0" and "None", in the variables grid and in every member entry.
void showReadDefaults(AccessList& access);

// The IP Address cells of the variables and data set grids without blanks (normalizedIpAddress());
// true when a cell changed.
bool trimIpAddresses(AccessList& access);

// The port of an IEC 61850 server (MMS), given to new entries together with a known address.
inline const QString mmsPort = QStringLiteral("102");

// Adds a variable entry for a leaf attribute of the device at `deviceIndex`: the single row
// of an empty grid is reused, else a row is appended, with R/W "Read", Start Bit "0" and
// Convertion "None". Returns the row filled. A known server address (Ied::serverAddress())
// fills IP Address, and Port with mmsPort; else both stay empty.
int addVariable(StringGrid& variableGrid, const DataAttribute& da, int deviceIndex, const QString& serverAddress = {});

// Adds a data set row and its entry, one member entry per member with Start Bit "0" and
// Convertion "None", the other strings empty. Returns the row. The server address fills
// IP Address and Port as for a variable.
int addDataSet(AccessList& access, DataSet& dataSet, int deviceIndex, const QString& serverAddress = {});

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
