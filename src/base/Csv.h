#pragma once
#include "base/Result.h"
#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// Comma-separated text as spreadsheet programs write and open it: UTF-8 with a byte-order mark,
// CR LF line ends, a value in double quotes when it holds the separator, a quote or a line
// break, a quote inside written twice.

// The separator a spreadsheet expects with this decimal separator: ";" beside a decimal
// comma, "," otherwise.
QChar csvSeparatorFor(QChar decimalSeparator);

// Writes a file record by record, straight into its UTF-8 bytes (a BOM first).
class CsvWriter {
public:
    explicit CsvWriter(QChar separator);
    void addRecord(const QStringList& record);
    const QByteArray& bytes() const { return data; }
    QByteArray take() { return std::move(data); }

private:
    QChar separator;
    QByteArray separatorBytes;
    QByteArray data;
};

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

// Called with each record in file order; an error stops reading and is returned.
using CsvRecordHandler = std::function<Result(const CsvRecord& record)>;

// Reads a file that a CsvWriter or a spreadsheet wrote, one record at a time, so that neither
// the file's text nor its records are held at once. UTF-8 with or without a BOM, UTF-16 with
// one; a file without a BOM that is not UTF-8 is read as Windows-1252, as spreadsheets on
// Windows save. The separator is the one of ";", "," and tab that the first line holds most
// often outside quotes. Inside quotes every character is kept as it is, line breaks too.
// Refused, naming the line and the column (the value's place in its record, from 1): a quote
// left open at the end of the file (the line where it opened), text that is not valid UTF-8
// after a UTF-8 BOM or not valid UTF-16 after a UTF-16 BOM, and a character that no project
// file can hold (NUL and the other control characters but tab, CR and LF; U+FFFE, U+FFFF).
Result readCsv(const QByteArray& bytes, QChar& separator, const CsvRecordHandler& onRecord);

// The same, keeping every record.
Result readCsv(const QByteArray& bytes, CsvTable& table);

// Whether no project file can hold `c` (see readCsv); tab, CR and LF can be held.
bool isForbiddenCharacter(char16_t c);
// "U+0000": how a message names a character.
QString characterName(char16_t c);
