#pragma once
#include <QChar>
#include <QString>
#include <array>

// Small conversions shared by the windows that edit addresses and tables.

// Checks a dotted IPv4 address and splits it into its four stripped parts (texts, not
// numbers: "192.168.002.010" gives "002" and "010"). The parts are meaningless on false.
bool Split_IP_Address(const QString& text, std::array<QString, 4>& parts);

// "," or "." from the system's decimal separator; "," for anything else.
QChar Get_Decimal_Separator(const QString& systemSeparator);

// Reads a decimal number typed with either "," or "." as separator. On failure the value is
// 1.0 and the result false. Thousands separators are not accepted ("1.000,5" fails).
bool Conv_Float(const QString& text, QChar separator, float& value);

// Strips characters with codes 0 to 32 from both ends.
QString Strip_Blanks(QStringView text);
