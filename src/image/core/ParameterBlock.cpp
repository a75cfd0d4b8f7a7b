#include "ParameterBlock.h"
#include "LittleEndian.h"
#include "ParGen.h"
#include "RequestTables.h"
#include "WholeNumber.h"
#include <QFileInfo>
#include <algorithm>

namespace Image {

using K = TBlock_Field::TKind;
const std::array<TBlock_Field, 18> Block_Fields = {{
    {"Fixed_000", 0x000, K::U32, 1, {250000}, true},
    {"Fixed_004", 0x004, K::U32, 1, {250000}, true},
    {"Fixed_008", 0x008, K::U32, 1, {0}, true},
    {"Fixed_00C", 0x00C, K::U32, 1, {9600}, true},
    {"EtherNetIP_IP", Block::EtherNetIP_IP, K::Octets, 4, {192, 168, 2, 205}, false},
    {"EtherNetIP_SM", Block::EtherNetIP_SM, K::Octets, 4, {255, 255, 255, 0}, false},
    {"EtherNetIP_GAT", Block::EtherNetIP_GAT, K::Octets, 4, {255, 255, 255, 255}, false},
    {"Fixed_034", 0x034, K::U16, 1, {10000}, true},
    {"EtherNetIP_Port", Block::EtherNetIP_Port, K::U16, 1, {10001}, false},
    {"EtherNetIP_Port_2", Block::EtherNetIP_Port_2, K::U16, 1, {10001}, false},
    {"EtherNetIP_NB_Input", Block::EtherNetIP_NB_Input, K::U32, 1, {0}, false},
    {"EtherNetIP_NB_Output", Block::EtherNetIP_NB_Output, K::U32, 1, {0}, false},
    {"IEC61850_Client_IP", Block::IEC61850_Client_IP, K::Octets, 4, {0, 0, 0, 0}, false},
    {"IEC61850_Client_SM", Block::IEC61850_Client_SM, K::Octets, 4, {0, 0, 0, 0}, false},
    {"IEC61850_Client_GAT", Block::IEC61850_Client_GAT, K::Octets, 4, {0, 0, 0, 0}, false},
    {"Fixed_1B4", 0x1B4, K::Octets, 8, {8, 8, 8, 8, 8, 8, 8, 8}, true},
    {"Request_Tables_Add", Block::Request_Tables_Add, K::U32, 1, {0}, false},
    {"Checksum", Block::Checksum, K::U32, 1, {0}, false},
}};

void Init_Parameter_Block(TParameterBlock& block)
{
    block.Bytes.fill(0);
    for (const TBlock_Field& f : Block_Fields) {
        switch (f.Kind) {
        case K::U32: Put_U32(block.Bytes, f.Offset, f.Initial[0]); break;
        case K::U16: Put_U16(block.Bytes, f.Offset, static_cast<quint16>(f.Initial[0])); break;
        case K::Octets:
            for (int i = 0; i < f.Count; ++i)
                block.Bytes[static_cast<size_t>(f.Offset + i)] = static_cast<quint8>(f.Initial[static_cast<size_t>(i)]);
            break;
        }
    }
}

namespace {

// Four octet keys (name + "1" .. "4") into four bytes; each byte keeps the low 8 bits.
void Put_Octets(TParameterBlock& block, qsizetype offset, const TParGen& set, const char* key, const std::array<qint32, 4>& fallbacks)
{
    for (int i = 0; i < 4; ++i) {
        const QByteArray name = QByteArray(key) + char('1' + i);
        const qint32 value = To_Whole_Number(set[name.constData()], fallbacks[static_cast<size_t>(i)]);
        block.Bytes[static_cast<size_t>(offset + i)] = static_cast<quint8>(value);
    }
}

void Switch_Off_Gateway(TParameterBlock& block, qsizetype offset, const QString& switchText)
{
    if (switchText != QLatin1String("1"))
        std::fill_n(block.Bytes.begin() + offset, 4, quint8(255));
}

} // namespace

TResult Load_Par_Gen(TParameterBlock& block, const QString& parGenFile, TIEC61850_Client& tables)
{
    // Without the file the block keeps its initial values, which differ from the fallbacks.
    if (!QFileInfo::exists(parGenFile))
        return TResult::Success();
    // Read_ParGen finds the keys (first node as root, first element of each name) and gives a
    // missing key its default text, which converts to the fallback below.
    TParGen set;
    if (auto read = Read_ParGen(parGenFile, set); !read)
        return read;

    Put_Octets(block, Block::IEC61850_Client_IP, set, "IEC61850_Client_IP", {192, 168, 0, 10});
    Put_Octets(block, Block::IEC61850_Client_SM, set, "IEC61850_Client_SM", {255, 255, 255, 0});
    Put_Octets(block, Block::IEC61850_Client_GAT, set, "IEC61850_Client_GAT", {192, 168, 0, 1});
    Switch_Off_Gateway(block, Block::IEC61850_Client_GAT, set["IEC61850_Client_En_GAT"]);
    tables.vLan = To_Whole_Number(set["IEC61850_Client_VLAN"], 0);
    tables.appID = To_Whole_Number(set["IEC61850_Client_Application_ID"], 0);

    Put_Octets(block, Block::EtherNetIP_IP, set, "EtherNetIP_IP", {192, 168, 0, 5});
    Put_Octets(block, Block::EtherNetIP_SM, set, "EtherNetIP_SM", {255, 255, 255, 0});
    Put_Octets(block, Block::EtherNetIP_GAT, set, "EtherNetIP_GAT", {192, 168, 0, 1});
    Switch_Off_Gateway(block, Block::EtherNetIP_GAT, set["EtherNetIP_EN_GAT"]);
    Put_U32(block.Bytes, Block::EtherNetIP_NB_Input, static_cast<quint32>(To_Whole_Number(set["EtherNetIP_NB_Input"], 496)));
    Put_U32(block.Bytes, Block::EtherNetIP_NB_Output, static_cast<quint32>(To_Whole_Number(set["EtherNetIP_NB_Output"], 496)));

    Put_U16(block.Bytes, Block::EtherNetIP_Port, Block::EtherNetIP_Port_Value);
    Put_U16(block.Bytes, Block::EtherNetIP_Port_2, Block::EtherNetIP_Port_Value);
    return TResult::Success();
}

quint32 Parameter_Block_Checksum(std::span<const quint8> block)
{
    quint32 sum = 0;
    for (qsizetype i = 0; i < Block::Checksum; ++i)
        sum += block[static_cast<size_t>(i)];
    return sum;
}

qsizetype Copy_Parameter_Block(TParameterBlock& block, std::span<quint8> out, qsizetype position)
{
    Q_ASSERT(position >= 0 && position + TParameterBlock::Size <= static_cast<qsizetype>(out.size()));
    Put_U32(block.Bytes, Block::Checksum, Parameter_Block_Checksum(block.Bytes));
    std::copy(block.Bytes.begin(), block.Bytes.end(), out.begin() + position);
    return position + TParameterBlock::Size;
}

} // namespace Image
