#include "iec61850/core/AccessValidation.h"
#include "base/TextNumbers.h"
#include "iec61850/core/AccessList.h"
#include "base/Conversions.h"
#include "base/TextTable.h"
#include "base/WholeNumber.h"
#include <array>
#include <optional>

namespace {

bool inRange(qint64 value, qint64 low, qint64 high) { return value >= low && value <= high; }

// Limits of the two types whose Start Byte and Num Byte the engineer enters.
struct SizedType {
    int maxStart, maxNum, startText, numText, sumText;
};
std::optional<SizedType> sizedType(const QString& bType)
{
    const QString type = bType.toUpper();
    if (type == u"VISSTRING255")
        return SizedType{254, 255, Text::ErrorRowString255Start, Text::ErrorRowString255Count, Text::ErrorRowString255End};
    if (type == u"OCTET64")
        return SizedType{63, 64, Text::ErrorRowOctet64Start, Text::ErrorRowOctet64Count, Text::ErrorRowOctet64End};
    return std::nullopt;
}

// The text number of the first failing check of a row, with the text that follows it, or
// nothing when the row passes.
struct Failure {
    int textNumber;
    QString suffix;
};
std::optional<Failure> checkRow(const StringGrid& grid, int row, QChar separator)
{
    auto number = [&](int col) -> qint64 { return toWholeNumber(grid.cell(col, row)); };

    if (const auto sized = sizedType(grid.cell(VariableColumn::BType, row))) {
        const qint64 start = number(VariableColumn::StartByte), count = number(VariableColumn::NumByte);
        if (!inRange(start, 0, sized->maxStart))
            return Failure{sized->startText, {}};
        if (!inRange(count, 1, sized->maxNum))
            return Failure{sized->numText, {}};
        if (start + count > sized->maxNum)
            return Failure{sized->sumText, {}};
    }
    std::array<QString, 4> parts;
    if (!splitIpAddress(grid.cell(VariableColumn::IpAddress, row), parts))
        return Failure{Text::ErrorRowIpAddress, {}};
    if (!inRange(number(VariableColumn::Port), 0, 65535))
        return Failure{Text::ErrorRowPort, {}};
    if (stripBlanks(grid.cell(VariableColumn::OnTimer, row)) == u"Y" && !inRange(number(VariableColumn::Time), 1, 100000000))
        return Failure{Text::ErrorRowTime, {}};
    if (!inRange(number(VariableColumn::Position), 0, maxPosition))
        return Failure{Text::ErrorRowPosition, QString::number(maxPosition)};
    const QString factor = grid.cell(VariableColumn::MultFactor, row);
    float value = 0;
    if (stripBlanks(factor).toUpper() != u"NONE" && !parseDecimal(factor, separator, value))
        return Failure{Text::ErrorRowMultFactor, {}};
    return std::nullopt;
}

} // namespace

Result validateVariables(const StringGrid& variableGrid, QChar decimalSeparator, const TextTable& texts)
{
    for (int row = 1; row < variableGrid.rowCount(); ++row) {
        if (variableGrid.cell(VariableColumn::BType, row).isEmpty())
            continue;
        if (const auto failure = checkRow(variableGrid, row, decimalSeparator))
            return Result::textError(Text::ErrorRow, QString::number(row) + texts[failure->textNumber] + failure->suffix);
    }
    return Result::success();
}
