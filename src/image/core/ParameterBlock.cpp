#include "image/core/ParameterBlock.h"
#include "image/core/LittleEndian.h"
#include "comm/core/CommunicationSettings.h"
#include "image/core/RequestTables.h"
#include "base/WholeNumber.h"
#include <QFileInfo>
#include <algorithm>

namespace Image {

using K = BlockField::Kind;
const std::array<BlockField, 18> blockFields = {{
    {"Fixed_000", 0x000, K::U32, 1, {250000}, true},
    {"Fixed_004", 0x004, K::U32, 1, {250000}, true},
    {"Fixed_008", 0x008, K::U32, 1, {0}, true},
    {"Fixed_00C", 0x00C, K::U32, 1, {9600}, true},
    {"EtherNetIP_IP", block::etherNetIPIp, K::Octets, 4, {192, 168, 2, 205}, false},
    {"EtherNetIP_SM", block::etherNetIPSm, K::Octets, 4, {255, 255, 255, 0}, false},
    {"EtherNetIP_GAT", block::etherNetIPGat, K::Octets, 4, {255, 255, 255, 255}, false},
    {"Fixed_034", 0x034, K::U16, 1, {10000}, true},
    {"EtherNetIP_Port", block::etherNetIPPort, K::U16, 1, {10001}, false},
    {"EtherNetIP_Port_2", block::etherNetIPPort2, K::U16, 1, {10001}, false},
    {"EtherNetIP_NB_Input", block::etherNetIPNbInput, K::U32, 1, {0}, false},
    {"EtherNetIP_NB_Output", block::etherNetIPNbOutput, K::U32, 1, {0}, false},
    {"IEC61850_Client_IP", block::iec61850ClientIp, K::Octets, 4, {0, 0, 0, 0}, false},
    {"IEC61850_Client_SM", block::iec61850ClientSm, K::Octets, 4, {0, 0, 0, 0}, false},
    {"IEC61850_Client_GAT", block::iec61850ClientGat, K::Octets, 4, {0, 0, 0, 0}, false},
    {"Fixed_1B4", 0x1B4, K::Octets, 8, {8, 8, 8, 8, 8, 8, 8, 8}, true},
    {"Request_Tables_Add", block::requestTablesAdd, K::U32, 1, {0}, false},
    {"Checksum", block::checksum, K::U32, 1, {0}, false},
}};

void initParameterBlock(ParameterBlock& block)
{
    block.bytes.fill(0);
    for (const BlockField& f : blockFields) {
        switch (f.kind) {
        case K::U32:
            putU32(block.bytes, f.offset, f.Initial[0]);
            break;
        case K::U16:
            putU16(block.bytes, f.offset, static_cast<quint16>(f.Initial[0]));
            break;
        case K::Octets:
            for (int i = 0; i < f.count; ++i)
                block.bytes[static_cast<size_t>(f.offset + i)] = static_cast<quint8>(f.Initial[static_cast<size_t>(i)]);
            break;
        }
    }
}

namespace {

// Four octet settings into four bytes; each byte keeps the low 8 bits.
void putOctets(ParameterBlock& block, qsizetype offset, const CommunicationSettings& set, const OctetKeys& keys,
    const std::array<qint32, 4>& fallbacks)
{
    for (size_t i = 0; i < 4; ++i) {
        const qint32 value = toWholeNumber(set[keys.octets[i]], fallbacks[i]);
        block.bytes[static_cast<size_t>(offset) + i] = static_cast<quint8>(value);
    }
}

void switchOffGateway(ParameterBlock& block, qsizetype offset, const QString& switchText)
{
    if (switchText != QLatin1String("1"))
        std::fill_n(block.bytes.begin() + offset, 4, quint8(255));
}

} // namespace

Result loadParGen(ParameterBlock& block, const QString& parGenFile, RequestTables& tables)
{
    // Without the file the block keeps its initial values, which differ from the fallbacks.
    if (!QFileInfo::exists(parGenFile))
        return Result::success();
    // readParGenFile() finds the keys (first node as root, first element of each name) and gives a
    // missing key its default text, which converts to the fallback below.
    CommunicationSettings set;
    if (auto read = readParGenFile(parGenFile, set); !read)
        return read;

    putOctets(block, block::iec61850ClientIp, set, "IEC61850_Client_IP", {192, 168, 0, 10});
    putOctets(block, block::iec61850ClientSm, set, "IEC61850_Client_SM", {255, 255, 255, 0});
    putOctets(block, block::iec61850ClientGat, set, "IEC61850_Client_GAT", {192, 168, 0, 1});
    switchOffGateway(block, block::iec61850ClientGat, set["IEC61850_Client_En_GAT"]);
    tables.vLan = toWholeNumber(set["IEC61850_Client_VLAN"], 0);
    tables.appID = toWholeNumber(set["IEC61850_Client_Application_ID"], 0);

    putOctets(block, block::etherNetIPIp, set, "EtherNetIP_IP", {192, 168, 0, 5});
    putOctets(block, block::etherNetIPSm, set, "EtherNetIP_SM", {255, 255, 255, 0});
    putOctets(block, block::etherNetIPGat, set, "EtherNetIP_GAT", {192, 168, 0, 1});
    switchOffGateway(block, block::etherNetIPGat, set["EtherNetIP_EN_GAT"]);
    putU32(block.bytes, block::etherNetIPNbInput, static_cast<quint32>(toWholeNumber(set["EtherNetIP_NB_Input"], 496)));
    putU32(block.bytes, block::etherNetIPNbOutput, static_cast<quint32>(toWholeNumber(set["EtherNetIP_NB_Output"], 496)));

    putU16(block.bytes, block::etherNetIPPort, block::etherNetIPPortValue);
    putU16(block.bytes, block::etherNetIPPort2, block::etherNetIPPortValue);
    return Result::success();
}

quint32 parameterBlockChecksum(std::span<const quint8> block)
{
    quint32 sum = 0;
    for (qsizetype i = 0; i < block::checksum; ++i)
        sum += block[static_cast<size_t>(i)];
    return sum;
}

qsizetype copyParameterBlock(ParameterBlock& block, std::span<quint8> out, qsizetype position)
{
    Q_ASSERT(position >= 0 && position + ParameterBlock::size <= static_cast<qsizetype>(out.size()));
    putU32(block.bytes, block::checksum, parameterBlockChecksum(block.bytes));
    std::copy(block.bytes.begin(), block.bytes.end(), out.begin() + position);
    return position + ParameterBlock::size;
}

} // namespace Image
