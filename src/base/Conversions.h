#pragma once
#include <QChar>
#include <QString>
#include <array>

// Small conversions shared by the windows that edit addresses and tables.

// Checks a dotted IPv4 address and splits it into its four stripped parts (texts, not
// numbers: "192.168.002.010" gives "002" and "010"). On false they are not to be used.
bool splitIpAddress(const QString& text, std::array<QString, 4>& parts);

// The address as the device is to receive it: a valid address without any blank around its
// parts ("10. 0 .0.3 " gives "10.0.0.3"), any other text stripped at both ends.
QString normalizedIpAddress(const QString& text);

// "," or "." from the system's decimal separator; "," for anything else.
QChar decimalSeparatorOf(const QString& systemSeparator);

// Reads a decimal number typed with either "," or "." as separator, rounded to single
// precision; only what is not finite after rounding fails. On failure the value is 1.0 and the
// result false. Thousands separators are not accepted ("1.000,5" fails).
bool parseDecimal(const QString& text, QChar separator, float& value);

// Strips characters with codes 0 to 32 from both ends.
QString stripBlanks(QStringView text);

// The key code of Enter as the tables receive it.
constexpr int enterKey = 13;

// Enter in an editable table with the "jump into next field" option on: moves (col, row) to the
// next cell (next column; from the last column to column 1 of the next row; from the last row
// back to row 1) and returns 0, the key consumed. A cell in the fixed heading row or number
// column does not move, but the key is consumed all the same. Any other key, or the option
// off, is returned unchanged. Counts include the heading row and the number column.
int gridEnterJump(bool jumpEnabled, int key, int& col, int& row, int colCount, int rowCount);

// Whether a double click on (row) fits its column: only on the heading row, with the option on.
bool gridAutoSizeColumn(bool autoSizeEnabled, int row);
