#pragma once
#include "base/Result.h"
#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>
#include <vector>

// Comma-separated text as spreadsheet programs write and open it: UTF-8 with a byte-order mark,
// CR LF line ends, a value in double quotes when it holds the separator, a quote or a line
// break, a quote inside written twice.

// The separator a spreadsheet expects with this decimal separator: ";" beside a decimal
// comma, "," otherwise.
QChar csvSeparatorFor(QChar decimalSeparator);

// The whole file: a BOM, then one line per record.
QByteArray writeCsv(const std::vector<QStringList>& records, QChar separator);

struct CsvRecord {
    int line = 0; // line of the file, from 1, where the record starts
    QStringList fields;
};

struct CsvTable {
    QChar separator;
    std::vector<CsvRecord> records; // the header line first; blank lines are left out
};

// Reads a file that writeCsv or a spreadsheet wrote. UTF-8 with or without a BOM, UTF-16 with
// one; bytes that are not UTF-8 are read as Windows-1252, as spreadsheets on Windows save. The
// separator is the one of ";", "," and tab that the first line holds most often outside quotes.
// A quote left open at the end of the file is an error naming the line where it opened.
Result readCsv(const QByteArray& bytes, CsvTable& table);
