#pragma once
#include "access/core/AccessFileModel.h"
#include "access/core/AccessList.h"
#include "access/core/AccessValidation.h" // maxPosition
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

class TextTable;

// The converter's internal data array as the access list fills it: which entry uses which
// bits of positions 0-1399, and where two entries meet.

constexpr int dataArrayBytes = maxPosition + 1;

// An entry of the access list: a variables-grid row, or member `member` (from 1) of the data
// set in data-set-grid row `row`.
struct ArrayUser {
    enum Kind { Variable, Member } kind = Variable;
    int row = 0;
    int member = 0;
    bool operator==(const ArrayUser&) const = default;
};

// What an entry places in the array, as its cells give it.
struct ArrayEntry {
    ArrayUser user;
    QString bType;
    QString position;
    QString startBit;
    QString numByte; // variables of the types sized by the engineer; members have none
};

// The bits an entry takes, counted from bit 0 of position 0.
struct BitExtent {
    int firstBit = 0;
    int bitCount = 0;
    int lastByte() const { return (firstBit + bitCount - 1) / 8; }
};

// Position plus the bytes of the entry's type: the fixed sizes of the image build, Num Byte for
// the other types (1 when it is not a whole number, as the build reads it; a member, which has
// no Num Byte, counts its first byte), one bit at Start Bit for BOOLEAN. A multi-byte value
// starts at Start Bit too. False when Position is not a whole number from 0 to 1399.
bool entryExtent(const ArrayEntry& entry, BitExtent& extent);

// One finding: two entries sharing a bit (`other` set), an entry that runs past the end of the
// array, or one without a usable position.
struct ArrayProblem {
    enum Kind { Overlap, PastEnd, NoPosition } kind = Overlap;
    ArrayUser user;
    ArrayUser other; // Overlap: the earlier entry in list order
    int position = 0; // Overlap: first shared byte; PastEnd: the entry's position
    bool operator==(const ArrayProblem&) const = default;
};

struct Occupancy {
    enum State : quint8 { Free, Variable, Member, Conflict };
    std::array<State, dataArrayBytes> bytes{};
    // Per byte, the entries that use it (indexes into `entries`), for tooltips and clicks.
    std::array<std::vector<int>, dataArrayBytes> users;
    std::vector<ArrayEntry> entries;
    std::vector<ArrayProblem> problems; // in list order: variables first, then data sets

    bool hasProblems() const { return !problems.empty(); }
};

// Places every entry (in the order given) and finds the overlaps; the one function for the
// window's page, its OK and the command line. Entries without a bType (the blank row) are left out.
void computeOccupancy(std::vector<ArrayEntry> entries, Occupancy& occupancy);

// The variables, in grid order, then each data set's members in order.
std::vector<ArrayEntry> arrayEntries(const AccessList& access);
// The same entries as the access file stores them, for checks without the device models.
std::vector<ArrayEntry> arrayEntries(const AccessFileModel& model);

// "Variables row 3", "DataSet row 2 member 4", from the text table.
QString userText(const ArrayUser& user, const TextTable& texts);
// One problem as a message: "Variables row 2 overlaps Variables row 1 at position 12".
Result problemMessage(const ArrayProblem& problem, const TextTable& texts);
// One line per problem, the first `max` of them ("... and 5 more" after), for a warning.
QStringList problemLines(const Occupancy& occupancy, const TextTable& texts, int max = -1);
// "10-13", "10.3" (one bit) or "10.3-14.2" (bits that do not start or end at byte edges).
QString extentText(const BitExtent& extent);
