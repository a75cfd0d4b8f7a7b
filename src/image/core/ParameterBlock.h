#pragma once
#include "Result.h"
#include <QString>
#include <QtGlobal>
#include <array>
#include <span>

namespace Image {

struct TIEC61850_Client;

// Device address at which the request tables are loaded; pointers in them are based on it.
constexpr quint32 Request_Tables_Address = 0x80000;

// The parameter block: exactly the 2048 bytes of bin/bank1.bin. Fields are reached only
// through their offsets and the little-endian helpers, never through a host struct.
struct TParameterBlock {
    static constexpr qsizetype Size = 2048;
    std::array<quint8, Size> Bytes{};
};

// Offsets of the fields that a build changes.
namespace Block {
constexpr qsizetype EtherNetIP_IP = 0x028;
constexpr qsizetype EtherNetIP_SM = 0x02C;
constexpr qsizetype EtherNetIP_GAT = 0x030;
constexpr qsizetype EtherNetIP_Port = 0x036;
constexpr qsizetype EtherNetIP_Port_2 = 0x038;
constexpr qsizetype EtherNetIP_NB_Input = 0x074;
constexpr qsizetype EtherNetIP_NB_Output = 0x078;
constexpr qsizetype IEC61850_Client_IP = 0x184;
constexpr qsizetype IEC61850_Client_SM = 0x188;
constexpr qsizetype IEC61850_Client_GAT = 0x18C;
constexpr qsizetype Request_Tables_Add = 0x5EC;
constexpr qsizetype Checksum = 0x7FC;
constexpr quint16 EtherNetIP_Port_Value = 44818;
} // namespace Block

// One field of the block with its initial value. Bytes outside every field are reserved
// and always zero. The table drives both the initialisation and the decoding for `inspect`.
struct TBlock_Field {
    enum class TKind { U32, U16, Octets };
    const char* Name;
    qsizetype Offset;
    TKind Kind;
    int Count;                     // number of octets for Octets, 1 otherwise
    std::array<quint32, 8> Initial; // the value, or one value per octet
    bool Fixed;                    // keeps its initial value in every build
    qsizetype Size() const { return Kind == TKind::U32 ? 4 : Kind == TKind::U16 ? 2 : Count; }
};
extern const std::array<TBlock_Field, 18> Block_Fields;

// Every byte to its initial value, the checksum word included (0).
void Init_Parameter_Block(TParameterBlock& block);

// Lays the values of ParGen.xml over the block and sets vLan and appID of the request
// tables. A missing file changes nothing; a file that is not well-formed XML is an error.
TResult Load_Par_Gen(TParameterBlock& block, const QString& parGenFile, TIEC61850_Client& tables);

// Sum of the bytes before the checksum word, each unsigned.
quint32 Parameter_Block_Checksum(std::span<const quint8> block);

// Stores the checksum and copies the 2048 bytes to `out` at `position`; returns the
// position after them. `out` must have room for the whole block.
qsizetype Copy_Parameter_Block(TParameterBlock& block, std::span<quint8> out, qsizetype position);

} // namespace Image
