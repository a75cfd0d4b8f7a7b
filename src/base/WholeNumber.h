#pragma once
#include <QStringView>
#include <optional>

// The one reader of whole-number text used everywhere: optional leading blanks, an optional
// sign, then decimal digits, or $, x, X, 0x, 0X and hexadecimal digits (a 32-bit pattern),
// and nothing after the digits. Decimal values must fit a signed 32-bit integer.
std::optional<qint32> parseWholeNumber(QStringView text);

// parseWholeNumber() with a fallback for text that is not a whole number.
qint32 toWholeNumber(QStringView text, qint32 fallback = -1);
