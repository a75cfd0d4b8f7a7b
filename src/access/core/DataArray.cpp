#include "access/core/DataArray.h"
#include "base/TextNumbers.h"
#include "base/TextTable.h"
#include "base/WholeNumber.h"
#include "access/core/AccessFileModel.h"

namespace {

constexpr int arrayBits = dataArrayBytes * 8;

// The bits of `extent` inside byte `byte`, as a mask of that byte.
quint8 maskIn(const BitExtent& extent, int byte)
{
    const int from = std::max(extent.firstBit, byte * 8), to = std::min(extent.firstBit + extent.bitCount, byte * 8 + 8);
    quint8 mask = 0;
    for (int bit = from; bit < to; ++bit)
        mask = static_cast<quint8>(mask | (1u << (bit - byte * 8)));
    return mask;
}

Occupancy::State stateOf(ArrayUser::Kind kind) { return kind == ArrayUser::Variable ? Occupancy::Variable : Occupancy::Member; }

} // namespace

bool entryExtent(const ArrayEntry& entry, BitExtent& extent)
{
    const qint64 position = toWholeNumber(entry.position);
    if (position < 0 || position >= dataArrayBytes)
        return false;
    // Read as the build reads them: an unreadable Start Bit is bit 0, an unreadable Num Byte one byte.
    const qint64 bit = toWholeNumber(entry.startBit);
    const int startBit = bit >= 0 && bit <= 7 ? static_cast<int>(bit) : 0;
    extent.firstBit = static_cast<int>(position) * 8 + startBit;
    if (entry.bType.toUpper() == u"BOOLEAN") {
        extent.bitCount = 1;
        return true;
    }
    int bytes = fixedNumByte(entry.bType);
    if (bytes == 0) {
        const qint64 numByte = entry.user.kind == ArrayUser::Variable ? toWholeNumber(entry.numByte) : -1;
        bytes = numByte >= 1 && numByte <= 255 ? static_cast<int>(numByte) : 1;
    }
    extent.bitCount = bytes * 8;
    return true;
}

void computeOccupancy(std::vector<ArrayEntry> entries, Occupancy& occupancy)
{
    occupancy.entries = std::move(entries);
    occupancy.problems.clear();
    occupancy.bytes.fill(Occupancy::Free);
    for (auto& users : occupancy.users)
        users.clear();

    std::vector<BitExtent> extents(occupancy.entries.size());
    for (size_t i = 0; i < occupancy.entries.size(); ++i) {
        const ArrayEntry& entry = occupancy.entries[i];
        BitExtent& extent = extents[i];
        if (!entryExtent(entry, extent)) {
            occupancy.problems.push_back({ArrayProblem::NoPosition, entry.user, {}, 0});
            continue;
        }
        if (extent.firstBit + extent.bitCount > arrayBits)
            occupancy.problems.push_back({ArrayProblem::PastEnd, entry.user, {}, extent.firstBit / 8});
        // Each entry names only the first entry it overlaps: a warning needs no more, and a
        // list of pairs could grow with the square of the entries.
        bool reported = false;
        const int last = std::min(extent.lastByte(), dataArrayBytes - 1);
        for (int byte = extent.firstBit / 8; byte <= last; ++byte) {
            const quint8 mask = maskIn(extent, byte);
            std::vector<int>& users = occupancy.users[static_cast<size_t>(byte)];
            auto& state = occupancy.bytes[static_cast<size_t>(byte)];
            for (int other : users) {
                if ((maskIn(extents[static_cast<size_t>(other)], byte) & mask) == 0)
                    continue;
                state = Occupancy::Conflict;
                if (!reported) {
                    occupancy.problems.push_back(
                        {ArrayProblem::Overlap, entry.user, occupancy.entries[static_cast<size_t>(other)].user, byte});
                    reported = true;
                }
            }
            if (state == Occupancy::Free)
                state = stateOf(entry.user.kind);
            users.push_back(static_cast<int>(i));
        }
    }
}

std::vector<ArrayEntry> arrayEntries(const AccessList& access)
{
    std::vector<ArrayEntry> entries;
    const StringGrid& vars = access.variableGrid;
    for (int row = 1; row < vars.rowCount(); ++row) {
        if (vars.cell(VariableColumn::BType, row).isEmpty())
            continue;
        entries.push_back(
            {{ArrayUser::Variable, row, 0}, vars.cell(VariableColumn::BType, row), vars.cell(VariableColumn::Position, row),
                vars.cell(VariableColumn::StartBit, row), vars.cell(VariableColumn::NumByte, row)});
    }
    int row = 0;
    for (const auto& dataSet : access.dataSets) {
        ++row;
        int member = 0;
        for (const auto& m : dataSet->members)
            entries.push_back({{ArrayUser::Member, row, ++member}, m->bType(), m->position, m->bitAddress, {}});
    }
    return entries;
}

std::vector<ArrayEntry> arrayEntries(const AccessFileModel& model)
{
    using namespace AccessItem;
    std::vector<ArrayEntry> entries;
    int row = 0;
    for (const StoredVariable& v : model.variables) {
        ++row;
        if (!v[BType].text.isEmpty())
            entries.push_back(
                {{ArrayUser::Variable, row, 0}, v[BType].text, v[Position].text, v[StartBit].text, v[NumByte].text});
    }
    row = 0;
    for (const StoredDataSet& dataSet : model.dataSets) {
        ++row;
        int member = 0;
        for (const StoredMember& m : dataSet.members)
            entries.push_back({{ArrayUser::Member, row, ++member}, m[MBType].text, m[MPosition].text, m[MStartBit].text, {}});
    }
    return entries;
}

QString userText(const ArrayUser& user, const TextTable& texts)
{
    if (user.kind == ArrayUser::Variable)
        return texts[Text::ArrayVariableRow].arg(user.row);
    return texts[Text::ArrayMemberRow].arg(user.row).arg(user.member);
}

QStringList problemLines(const Occupancy& occupancy, const TextTable& texts, int max)
{
    QStringList lines;
    for (const ArrayProblem& p : occupancy.problems) {
        if (max >= 0 && lines.size() == max) {
            lines << texts[Text::ArrayMoreProblems].arg(occupancy.problems.size() - static_cast<size_t>(max));
            break;
        }
        lines << texts.message(problemMessage(p, texts));
    }
    return lines;
}

Result problemMessage(const ArrayProblem& problem, const TextTable& texts)
{
    const QString user = userText(problem.user, texts);
    const QString position = QString::number(problem.position);
    switch (problem.kind) {
    case ArrayProblem::Overlap:
        return Result::failed(Text::ArrayOverlap, {user, userText(problem.other, texts), position});
    case ArrayProblem::PastEnd:
        return Result::failed(Text::ArrayPastEnd, {user, position});
    case ArrayProblem::NoPosition:
        break;
    }
    return Result::failed(Text::ArrayNoPosition, {user});
}

QString extentText(const BitExtent& extent)
{
    const int last = extent.firstBit + extent.bitCount - 1;
    if (extent.bitCount == 1)
        return QStringLiteral("%1.%2").arg(extent.firstBit / 8).arg(extent.firstBit % 8);
    if (extent.firstBit % 8 == 0 && last % 8 == 7)
        return QStringLiteral("%1-%2").arg(extent.firstBit / 8).arg(last / 8);
    return QStringLiteral("%1.%2-%3.%4").arg(extent.firstBit / 8).arg(extent.firstBit % 8).arg(last / 8).arg(last % 8);
}
