#pragma once
#include "access/core/AccessList.h"
#include "base/Files.h"
#include "base/Result.h"
#include <QByteArray>
#include <QChar>
#include <QStringList>

// The most this kind of file may have; its writer refuses to write more.
inline constexpr ReadLimit pointListFileLimit{256 * mebibyte, "a point list"};

class TextTable;

// The access list as a point list for spreadsheets (CSV): one line per variable, in grid
// order, then one per member of each data set, in order, with its data set's reference and row
// fields. Columns carry the English headings of the variables grid plus "IED", "DataSet",
// "Goose Name", "En. Goose", "DataSet Mnemonic" and "Byte Extent", whatever the program's
// language, so that a list travels between engineers. A data set without members gets one
// line with an empty Reference.

QStringList pointListHeadings();

// The file: separated by ";" where `decimalSeparator` is ",", by "," otherwise. Text that a
// spreadsheet would run as a formula (beginning with "=", "+", "-", "@", tab or CR) goes out
// behind an apostrophe, in the text columns only; import takes exactly that apostrophe off again.
QByteArray exportPointList(const AccessList& access, QChar decimalSeparator);

// Writes `csv` to `path` (replacing it atomically), unless it is larger than import reads.
Result writePointList(const QString& path, const QByteArray& csv, const ReadLimit& limit = pointListFileLimit);

// What a point list gives for the access list: the rows of its usable lines and a text for
// every line that cannot be used.
struct PointListImport {
    StringGrid variableGrid{QStringList(VariableColumn::Count, QString())};
    StringGrid dataSetGrid{QStringList(DataSetColumn::Count, QString())};
    std::vector<std::unique_ptr<DataSetEntry>> dataSets;
    int lines = 0; // lines below the header
    QStringList unusable; // "Line 7: ..." in file order

    int usable() const { return lines - static_cast<int>(unusable.size()); }
};

// Reads a point list against the devices of `access` (header names decide, in any order;
// unknown columns are ignored). A variable line becomes a row when its IED is a device of the
// list, its Reference a data attribute of that device's model (of the bType the line gives, if
// any) and the row passes the row checks; its other cells come from the file. Data set lines: the consecutive lines of one
// data set of one device give one data set entry (a line naming a member that the entry holds
// already begins the next); the entry is taken only when its lines give the data set's members
// exactly, in the data set's order, and every line passes the checks of the data set row and
// its member; else each of its lines is refused, naming its own fault or the member missing or
// out of place. A line with a DataSet and no Reference stands for a data set without members.
// Errors, nothing read: a file that is not CSV (see readCsv), without the IED and Reference
// columns, with a column of the list twice, or with tab or a line break in a number.
Result readPointList(
    const QByteArray& bytes, const AccessList& access, QChar decimalSeparator, const TextTable& texts, PointListImport& import);

// Replaces the variable rows and the data set entries of `access` with those imported.
void applyPointList(AccessList& access, PointListImport& import);
