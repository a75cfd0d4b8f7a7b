#include "access/core/AccessValidation.h"
#include "access/core/AccessModelCheck.h"
#include "base/TextNumbers.h"
#include "base/Conversions.h"
#include "base/TextTable.h"
#include "base/WholeNumber.h"
#include "base/XmlFile.h"
#include <algorithm>
#include <array>
#include <limits>
#include <optional>

namespace {

using namespace AccessItem;

bool inRange(qint64 value, qint64 low, qint64 high) { return value >= low && value <= high; }
qint64 number(const StoredAttribute& a) { return toWholeNumber(a.text); }

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

// A cell that the build reads with a fallback: a blank cell takes the fallback, anything else
// must be a whole number (as the build reads it) that fits where it goes. Text that is not a
// whole number would take the fallback too, but the engineer wrote something else.
bool blankOrFits(const StoredAttribute& a, qint64 low, qint64 high)
{
    return stripBlanks(a.text).isEmpty() || (a.number && inRange(*a.number, low, high));
}

// A flag is on exactly when it is "Y", as the build reads it; "N" or nothing is off.
bool flagOn(const StoredAttribute& flag) { return flag.is("Y"); }

// Collects the failures of one row; `prefix` is the text number and argument start that name
// the row in the window's message ("Error row " and "3").
class RowChecks {
public:
    RowChecks(Problems& into, const TextTable& table, const QString& where, int prefixText, const QString& prefixArgument)
        : problems(into)
        , texts(table)
        , row(where)
        , prefix(prefixText)
        , prefixArg(prefixArgument)
    {
    }

    // Adds an error when `passes` is false; returns `passes`.
    bool check(bool passes, const char* column, int textNumber, const QString& suffix = {})
    {
        return check(passes, column, texts[textNumber] + suffix);
    }
    bool check(bool passes, const char* column, const QString& message)
    {
        if (!passes)
            problems.push_back(
                {Problem::Severity::Error, {}, row, QLatin1String(column), Result::failed(prefix, {prefixArg + message})});
        return passes;
    }

    void address(const StoredAttribute& ip, const char* column)
    {
        std::array<QString, 4> parts;
        check(splitIpAddress(ip.text, parts), column, Text::ErrorRowIpAddress);
    }
    void port(const StoredAttribute& port, const char* column)
    {
        check(inRange(number(port), 0, 65535), column, Text::ErrorRowPort);
    }
    void time(const StoredAttribute& time, bool onTimer, const char* column)
    {
        // Without the timer the time still reaches the image (fallback 1000), unsigned.
        check(onTimer ? inRange(number(time), 1, 100000000) : blankOrFits(time, 0, std::numeric_limits<qint32>::max()), column,
            Text::ErrorRowTime);
    }
    void flag(const StoredAttribute& flag, const char* column)
    {
        // Anything but "Y" is off for the build; only "N" or nothing says so.
        check(flag.text.isEmpty() || flag.is("Y") || flag.is("N"), column,
            fillPlaceholders(texts[Text::ErrorRowFlag], {QLatin1String(column)}));
    }
    // Every cell is stored in the access file, which holds only what XML allows; a cell that
    // reaches the image must also fit its 8-bit characters, or the device receives other text.
    void text(const StoredAttribute& cell, const char* column, bool inImage)
    {
        if (const qsizetype at = firstNonXmlCharacter(cell.text); at >= 0) {
            check(false, column,
                fillPlaceholders(texts[Text::ErrorRowCharacterNotStored], {QLatin1String(column), codeAt(cell.text, at)}));
            return;
        }
        if (!inImage)
            return;
        const auto wide = std::find_if(cell.text.cbegin(), cell.text.cend(), [](QChar c) { return c.unicode() > 0xFF; });
        if (wide != cell.text.cend())
            check(false, column,
                fillPlaceholders(texts[Text::ErrorRowCharacterNot8Bit],
                    {QLatin1String(column), codeAt(cell.text, wide - cell.text.cbegin())}));
    }
    void position(const StoredAttribute& position, const char* column)
    {
        check(inRange(number(position), 0, maxPosition), column, Text::ErrorRowPosition, QString::number(maxPosition));
    }
    void startBit(const StoredAttribute& bit, const char* column)
    {
        // An empty Start Bit is read as 0.
        check(stripBlanks(bit.text).isEmpty() || inRange(number(bit), 0, 7), column, Text::ErrorRowStartBit);
    }
    void multFactor(const StoredAttribute& factor, QChar separator, const char* column, bool emptyIsNone = false)
    {
        const QString none = stripBlanks(factor.text).toUpper();
        float value = 0;
        check(none == u"NONE" || (emptyIsNone && none.isEmpty()) || parseDecimal(factor.text, separator, value), column,
            Text::ErrorRowMultFactor);
    }
    void conversion(const StoredAttribute& conversion, const char* column)
    {
        // The build converts only for exactly "ItoF/FtoI": any other text but None (or nothing,
        // read as None) would silently not convert.
        const QString none = stripBlanks(conversion.text);
        check(conversion.is("ItoF/FtoI") || none.isEmpty() || none == u"None", column, Text::ErrorRowConversion);
    }

private:
    // The character at `at`, a surrogate pair as one.
    static QString codeAt(const QString& text, qsizetype at)
    {
        const QChar c = text[at];
        if (c.isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate())
            return characterCode(QChar::surrogateToUcs4(c, text[at + 1]));
        return characterCode(c.unicode());
    }

    Problems& problems;
    const TextTable& texts;
    QString row;
    int prefix;
    QString prefixArg;
};

void checkVariable(const StoredVariable& item, int row, QChar separator, const TextTable& texts, Problems& problems)
{
    RowChecks c(
        problems, texts, fillPlaceholders(texts[Text::ProblemRow], {QString::number(row)}), Text::ErrorRow, QString::number(row));
    const char* const* names = variableItemAttributes;
    if (const auto sized = sizedType(item[BType].text)) {
        const qint64 start = number(item[StartByte]), count = number(item[NumByte]);
        const bool startOk = c.check(inRange(start, 0, sized->maxStart), names[StartByte], sized->startText);
        const bool countOk = c.check(inRange(count, 1, sized->maxNum), names[NumByte], sized->numText);
        if (startOk && countOk)
            c.check(start + count <= sized->maxNum, names[StartByte], sized->sumText);
    } else if (fixedNumByte(item[BType].text) == 0) {
        // Other types of entered size: each byte cell fills one byte of the record.
        c.check(blankOrFits(item[StartByte], 0, 255), names[StartByte], Text::ErrorRowOtherStartByte);
        c.check(blankOrFits(item[NumByte], 0, 255), names[NumByte], Text::ErrorRowOtherNumByte);
    }
    c.address(item[IpAddress], names[IpAddress]);
    c.port(item[Port], names[Port]);
    c.time(item[Time], flagOn(item[OnTimer]), names[Time]);
    c.position(item[Position], names[Position]);
    c.multFactor(item[MultFactor], separator, names[MultFactor]);
    c.startBit(item[StartBit], names[StartBit]);
    // The build takes anything but "Read" for Write: the direction must be chosen.
    c.check(item[ReadWrite].is("Read") || item[ReadWrite].is("Write"), names[ReadWrite], Text::ErrorRowReadWrite);
    c.conversion(item[Conversion], names[Conversion]);
    for (const size_t flag : {OnChange, OnCmd, OnTimer})
        c.flag(item[flag], names[flag]);
    // The device receives two characters of the fc.
    c.check(item[Fc].text.size() <= 2, names[Fc], Text::ErrorRowFcTooLong);
    for (size_t i = 0; i < std::size(variableItemAttributes); ++i)
        c.text(item[i], names[i], i == BType || i == Fc || i == Reference || i == IpAddress);
}

void checkDataSet(const StoredDataSet& item, int row, QChar separator, const TextTable& texts, Problems& problems)
{
    RowChecks c(problems, texts, fillPlaceholders(texts[Text::ProblemDataSetRow], {QString::number(row)}), Text::ErrorDataSetRow,
        QString::number(row));
    const char* const* names = dataSetItemAttributes;
    c.address(item[DsIpAddress], names[DsIpAddress]);
    c.port(item[DsPort], names[DsPort]);
    // A data set is always requested on its timer.
    c.time(item[DsTime], true, names[DsTime]);
    // More than 255 members is the build's own error: its count field is one byte.
    c.check(!item.members.empty(), "DataSet_List_DAs", Text::ErrorDataSetMembers);
    c.flag(item[DsEnGoose], names[DsEnGoose]);
    for (size_t i = 0; i < std::size(dataSetItemAttributes); ++i)
        c.text(item[i], names[i], i == DsReference || i == DsGooseName || i == DsIpAddress);
    for (size_t i = 0; i < item.members.size(); ++i) {
        const int member = static_cast<int>(i) + 1;
        RowChecks m(problems, texts,
            fillPlaceholders(texts[Text::ProblemMember], {QString::number(row), QString::number(member)}), Text::ErrorDataSetRow,
            QString::number(row) + texts[Text::ErrorMember] + QString::number(member));
        const StoredMember& stored = item.members[i];
        m.position(stored[MPosition], memberItemAttributes[MPosition]);
        m.startBit(stored[MStartBit], memberItemAttributes[MStartBit]);
        m.conversion(stored[MConversion], memberItemAttributes[MConversion]);
        // A member's factor was never asked for: left empty, it is read as None.
        m.multFactor(stored[MMultFactor], separator, memberItemAttributes[MMultFactor], true);
        for (size_t k = 0; k < std::size(memberItemAttributes); ++k)
            m.text(stored[k], memberItemAttributes[k], k == MBType || k == MReference);
    }
}

StoredAttribute stored(const QString& text)
{
    StoredAttribute a;
    a.text = text;
    a.present = true;
    a.number = parseWholeNumber(text);
    return a;
}

// The data rows of a grid as stored items (none for an empty grid), column c as attribute c - 1.
template <typename Item> std::vector<Item> itemsOf(const StringGrid& grid)
{
    std::vector<Item> items;
    if (grid.isEmpty())
        return items;
    for (int row = 1; row < grid.rowCount(); ++row) {
        Item& item = items.emplace_back();
        for (size_t i = 0; i < std::size(item.attributes); ++i)
            item.attributes[i] = stored(grid.cell(static_cast<int>(i) + 1, row));
    }
    return items;
}

std::vector<StoredMember> storedMembersOf(const DataSetEntry& entry)
{
    std::vector<StoredMember> members;
    for (const auto& m : entry.members) {
        StoredMember& member = members.emplace_back();
        const QString values[]
            = {m->bType(), m->reference(), m->position, m->bitAddress, m->conversion, m->multFactor, m->mnemonic};
        for (size_t k = 0; k < std::size(values); ++k)
            member.attributes[k] = stored(values[k]);
    }
    return members;
}

Result firstProblem(const Problems& problems) { return problems.empty() ? Result::success() : problems.front().what; }

} // namespace

Problems checkAccessRows(const AccessFileModel& model, QChar decimalSeparator, const TextTable& texts)
{
    Problems problems;
    for (size_t i = 0; i < model.variables.size(); ++i)
        if (!model.variables[i][BType].text.isEmpty())
            checkVariable(model.variables[i], static_cast<int>(i) + 1, decimalSeparator, texts, problems);
    for (size_t i = 0; i < model.dataSets.size(); ++i)
        checkDataSet(model.dataSets[i], static_cast<int>(i) + 1, decimalSeparator, texts, problems);
    return problems;
}

AccessFileModel accessFileModelOf(const AccessList& access)
{
    AccessFileModel model;
    model.variables = itemsOf<StoredVariable>(access.variableGrid);
    std::vector<StoredDataSet> dataSets = itemsOf<StoredDataSet>(access.dataSetGrid);
    for (size_t i = 0; i < dataSets.size() && i < access.dataSets.size(); ++i)
        dataSets[i].members = storedMembersOf(*access.dataSets[i]);
    model.dataSets = std::move(dataSets);
    return model;
}

Result validateAccessList(const AccessList& access, QChar decimalSeparator, const TextTable& texts)
{
    const AccessFileModel model = accessFileModelOf(access);
    const Problems rows = checkAccessRows(model, decimalSeparator, texts);
    return firstProblem(rows.empty() ? checkRowsAgainstModels(model, access.devices, texts) : rows);
}

Result validateDataSet(const StringGrid& dataSetGrid, const std::vector<std::unique_ptr<DataSetEntry>>& dataSets, int row,
    QChar decimalSeparator, const TextTable& texts)
{
    Problems problems;
    if (row < 1 || row >= dataSetGrid.rowCount() || static_cast<size_t>(row) > dataSets.size())
        return Result::success();
    StoredDataSet item;
    for (size_t i = 0; i < std::size(item.attributes); ++i)
        item.attributes[i] = stored(dataSetGrid.cell(static_cast<int>(i) + 1, row));
    item.members = storedMembersOf(*dataSets[static_cast<size_t>(row) - 1]);
    checkDataSet(item, row, decimalSeparator, texts, problems);
    return firstProblem(problems);
}

Result validateVariables(const StringGrid& variableGrid, QChar decimalSeparator, const TextTable& texts)
{
    AccessFileModel model;
    model.variables = itemsOf<StoredVariable>(variableGrid);
    return firstProblem(checkAccessRows(model, decimalSeparator, texts));
}
