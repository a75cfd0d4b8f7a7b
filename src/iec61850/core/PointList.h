#pragma once
#include "iec61850/core/AccessList.h"
#include "base/Result.h"
#include <QByteArray>
#include <QChar>
#include <QStringList>

class TextTable;

// The access list as a point list for spreadsheets (CSV): one line per variable, in grid
// order, then one per member of each data set, in order, with its data set's reference and row
// fields. Columns carry the English headings of the variables grid plus "IED", "DataSet",
// "Goose Name", "En. Goose", "DataSet Mnemonic" and "Byte Extent", whatever the program's
// language, so that a list travels between engineers. A data set without members gets one
// line with an empty Reference.

QStringList pointListHeadings();

// The file: separated by ";" where `decimalSeparator` is ",", by "," otherwise.
QByteArray exportPointList(const AccessList& access, QChar decimalSeparator);

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
// unknown columns are ignored). A line becomes a row when its IED is a device of the list and
// its Reference a data attribute (or its DataSet a data set, Reference then one of its
// members, further on than the line before it) of that device's model, and the row passes the
// row checks; its other cells come from the file. A file without the IED and Reference
// columns, or that is not CSV, is an error.
Result readPointList(
    const QByteArray& bytes, const AccessList& access, QChar decimalSeparator, const TextTable& texts, PointListImport& import);

// Replaces the variable rows and the data set entries of `access` with those imported.
void applyPointList(AccessList& access, PointListImport& import);
