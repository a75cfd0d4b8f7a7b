#pragma once
#include "base/Result.h"
#include <QString>
#include <QtGlobal>
#include <array>
#include <span>

namespace Image {

struct RequestTables;

// Device address at which the request tables are loaded; pointers in them are based on it.
constexpr quint32 requestTablesAddress = 0x80000;

// The parameter block: exactly the 2048 bytes of bin/bank1.bin. Fields are reached only
// through their offsets and the little-endian helpers, never through a host struct.
struct ParameterBlock {
    static constexpr qsizetype size = 2048;
    std::array<quint8, size> bytes{};
};

// Offsets of the fields that a build changes.
namespace block {
constexpr qsizetype etherNetIPIp = 0x028;
constexpr qsizetype etherNetIPSm = 0x02C;
constexpr qsizetype etherNetIPGat = 0x030;
constexpr qsizetype etherNetIPPort = 0x036;
constexpr qsizetype etherNetIPPort2 = 0x038;
constexpr qsizetype etherNetIPNbInput = 0x074;
constexpr qsizetype etherNetIPNbOutput = 0x078;
constexpr qsizetype iec61850ClientIp = 0x184;
constexpr qsizetype iec61850ClientSm = 0x188;
constexpr qsizetype iec61850ClientGat = 0x18C;
constexpr qsizetype requestTablesAdd = 0x5EC;
constexpr qsizetype checksum = 0x7FC;
constexpr quint16 etherNetIPPortValue = 44818;
} // namespace block

// One field of the block with its initial value. Bytes outside every field are reserved
// and always zero. The table drives both the initialisation and the decoding for `inspect`.
struct BlockField {
    enum class Kind { U32, U16, Octets };
    const char* name;
    qsizetype offset;
    Kind kind;
    int count; // number of octets for Octets, 1 otherwise
    std::array<quint32, 8> Initial; // the value, or one value per octet
    bool fixed; // keeps its initial value in every build
    qsizetype size() const { return kind == Kind::U32 ? 4 : kind == Kind::U16 ? 2 : count; }
};
extern const std::array<BlockField, 18> blockFields;

// Every byte to its initial value, the checksum word included (0).
void initParameterBlock(ParameterBlock& block);

// Lays the values of ParGen.xml over the block and sets vLan and appID of the request
// tables. A missing file changes nothing; a file that is not well-formed XML is an error.
Result loadParGen(ParameterBlock& block, const QString& parGenFile, RequestTables& tables);

// Sum of the bytes before the checksum word, each unsigned.
quint32 parameterBlockChecksum(std::span<const quint8> block);

// Stores the checksum and copies the 2048 bytes to `out` at `position`; returns the
// position after them. `out` must have room for the whole block.
qsizetype copyParameterBlock(ParameterBlock& block, std::span<quint8> out, qsizetype position);

} // namespace Image
