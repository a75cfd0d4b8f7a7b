#include "access/core/DataArray.h"
#include "base/TextTable.h"
#include "support/TestSupport.h"
#include <gtest/gtest.h>
#include <map>

namespace {

ArrayEntry variable(int row, const char* bType, const char* position, const char* startBit = "", const char* numByte = "")
{
    return {{ArrayUser::Variable, row, 0}, bType, position, startBit, numByte};
}
ArrayEntry member(int row, int number, const char* bType, const char* position, const char* startBit = "")
{
    return {{ArrayUser::Member, row, number}, bType, position, startBit, {}};
}
ArrayProblem overlap(const ArrayEntry& entry, const ArrayEntry& earlier, int position)
{
    return {ArrayProblem::Overlap, entry.user, earlier.user, position};
}

} // namespace

TEST(DataArray, OccupancyFindsEveryKindOfOverlap)
{
    using S = Occupancy::State;
    struct Case {
        const char* name;
        std::vector<ArrayEntry> entries;
        std::vector<ArrayProblem> problems;
        std::map<int, S> bytes;
    };
    const auto f10 = variable(1, "FLOAT32", "10");
    const auto i16at14 = variable(2, "INT16", "14");
    const auto i16at13 = variable(2, "Int16", "13");
    const auto bit0 = variable(1, "BOOLEAN", "20", "0");
    const auto bit1 = member(1, 1, "Boolean", "20", "1");
    const auto bit1Again = variable(2, "BOOLEAN", "20", "1");
    const auto string10 = variable(3, "VisString255", "100", "", "10");
    const auto memberAt109 = member(2, 3, "INT8U", "109");
    const auto memberAt110 = member(2, 3, "INT8U", "110");
    const auto last4 = variable(7, "INT32", "1399");
    const auto noPosition = member(1, 2, "FLOAT32", "");
    const auto past = variable(8, "FLOAT32", "1400");
    const auto i16bit4 = variable(4, "INT16", "30", "4");
    const auto bitAfter = variable(5, "BOOLEAN", "32", "4");
    const auto bitInside = variable(5, "BOOLEAN", "32", "3");
    const auto octetNoCount = variable(6, "Octet64", "50", "", "");
    const auto at51 = variable(7, "INT8", "51");
    const auto hexPosition = variable(1, "Quality", "0x10");
    const Case cases[] = {
        {"adjacent", {f10, i16at14}, {}, {{9, S::Free}, {10, S::Variable}, {13, S::Variable}, {14, S::Variable}, {16, S::Free}}},
        {"overlapping by one byte", {f10, i16at13}, {overlap(i16at13, f10, 13)},
            {{12, S::Variable}, {13, S::Conflict}, {14, S::Variable}}},
        {"same byte, different bits", {bit0, bit1}, {}, {{20, S::Variable}}},
        {"same bit", {bit0, bit1, bit1Again}, {overlap(bit1Again, bit1, 20)}, {{20, S::Conflict}}},
        {"string with its Num Byte", {string10, memberAt109}, {overlap(memberAt109, string10, 109)}, {{109, S::Conflict}}},
        {"string ends before the next", {string10, memberAt110}, {}, {{109, S::Variable}, {110, S::Member}}},
        {"position 1399 with a 4-byte type runs past the end", {last4}, {{ArrayProblem::PastEnd, last4.user, {}, 1399}},
            {{1398, S::Free}, {1399, S::Variable}}},
        {"no position, or one outside the array", {noPosition, past},
            {{ArrayProblem::NoPosition, noPosition.user, {}, 0}, {ArrayProblem::NoPosition, past.user, {}, 0}}, {{0, S::Free}}},
        {"a value that starts at a bit spills into the next byte", {i16bit4, bitAfter}, {},
            {{30, S::Variable}, {32, S::Variable}}},
        {"and meets a bit there", {i16bit4, bitInside}, {overlap(bitInside, i16bit4, 32)}, {{32, S::Conflict}}},
        {"Num Byte not a number counts one byte, as the build reads it", {octetNoCount, at51}, {}, {{50, S::Variable}}},
        {"positions are whole numbers", {hexPosition}, {}, {{15, S::Free}, {16, S::Variable}, {19, S::Variable}}},
    };
    for (const Case& c : cases) {
        Occupancy occupancy;
        computeOccupancy(c.entries, occupancy);
        EXPECT_EQ(occupancy.problems, c.problems) << c.name;
        for (const auto& [byte, state] : c.bytes)
            EXPECT_EQ(occupancy.bytes[static_cast<size_t>(byte)], state) << c.name << " byte " << byte;
    }
}

TEST(DataArray, EachEntryNamesItsFirstOverlapOnceAndTheWarningStaysShort)
{
    // Twenty FLOAT32 on the same four bytes: one problem per later entry, not one per pair or byte.
    std::vector<ArrayEntry> entries;
    for (int row = 1; row <= 20; ++row)
        entries.push_back(variable(row, "FLOAT32", "0"));
    Occupancy occupancy;
    computeOccupancy(entries, occupancy);
    ASSERT_EQ(occupancy.problems.size(), 19u);
    EXPECT_EQ(occupancy.problems.front(), overlap(entries[1], entries[0], 0));
    EXPECT_EQ(occupancy.users[3].size(), 20u);

    TextTable texts;
    const QStringList lines = problemLines(occupancy, texts, 2);
    EXPECT_EQ(lines,
        QStringList({"Variables row 2 overlaps Variables row 1 at position 0",
            "Variables row 3 overlaps Variables row 1 at position 0", "... and 17 more"}));
    computeOccupancy({member(2, 4, "INT32", "1398"), member(1, 1, "INT8", "")}, occupancy);
    EXPECT_EQ(problemLines(occupancy, texts),
        QStringList({"DataSet row 2 member 4 at position 1398 runs past position 1399",
            "DataSet row 1 member 1 has no Position between 0 and 1399"}));
}

TEST(DataArray, ExtentTexts)
{
    EXPECT_EQ(extentText({80, 32}), "10-13");
    EXPECT_EQ(extentText({163, 1}), "20.3");
    EXPECT_EQ(extentText({244, 16}), "30.4-32.3");
}
