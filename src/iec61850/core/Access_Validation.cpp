#include "Access_Validation.h"
#include "Access_List.h"
#include "Common.h"
#include "TextTable.h"
#include "WholeNumber.h"
#include <array>
#include <optional>

namespace {

bool In_Range(qint64 value, qint64 low, qint64 high) { return value >= low && value <= high; }

// Limits of the two types whose Start Byte and Num Byte the engineer enters.
struct TSized_Type {
    int Max_Start, Max_Num, Start_Text, Num_Text, Sum_Text;
};
std::optional<TSized_Type> Sized_Type(const QString& bType)
{
    const QString type = bType.toUpper();
    if (type == u"VISSTRING255")
        return TSized_Type{254, 255, 1262, 1263, 1264};
    if (type == u"OCTET64")
        return TSized_Type{63, 64, 1265, 1266, 1267};
    return std::nullopt;
}

// The text number of the first failing check of a row, with the text that follows it, or
// nothing when the row passes.
struct TFailure {
    int Text_No;
    QString Suffix;
};
std::optional<TFailure> Check_Row(const TGrid& grid, int row, QChar separator)
{
    auto number = [&](int col) -> qint64 { return To_Whole_Number(grid.Cell(col, row)); };

    if (const auto sized = Sized_Type(grid.Cell(Var_Col::bType, row))) {
        const qint64 start = number(Var_Col::StartByte), count = number(Var_Col::NumByte);
        if (!In_Range(start, 0, sized->Max_Start))
            return TFailure{sized->Start_Text, {}};
        if (!In_Range(count, 1, sized->Max_Num))
            return TFailure{sized->Num_Text, {}};
        if (start + count > sized->Max_Num)
            return TFailure{sized->Sum_Text, {}};
    }
    std::array<QString, 4> parts;
    if (!Split_IP_Address(grid.Cell(Var_Col::IPAddress, row), parts))
        return TFailure{1253, {}};
    if (!In_Range(number(Var_Col::Port), 0, 65535))
        return TFailure{1254, {}};
    if (Strip_Blanks(grid.Cell(Var_Col::OnTimer, row)) == u"Y" && !In_Range(number(Var_Col::Time), 1, 100000000))
        return TFailure{1255, {}};
    if (!In_Range(number(Var_Col::Position), 0, Max_Position))
        return TFailure{1256, QString::number(Max_Position)};
    const QString factor = grid.Cell(Var_Col::MoltFact, row);
    float value = 0;
    if (Strip_Blanks(factor).toUpper() != u"NONE" && !Conv_Float(factor, separator, value))
        return TFailure{1257, {}};
    return std::nullopt;
}

} // namespace

TResult Controllo_dati(const TGrid& acg_da, QChar decimalSeparator, const TText_Table& texts)
{
    for (int row = 1; row < acg_da.Row_Count(); ++row) {
        if (acg_da.Cell(Var_Col::bType, row).isEmpty())
            continue;
        if (const auto failure = Check_Row(acg_da, row, decimalSeparator))
            return TResult::Text_Error(1252, QString::number(row) + texts[failure->Text_No] + failure->Suffix);
    }
    return TResult::Success();
}
