#pragma once
#include <QByteArray>
#include <QString>

// A small SCL server: IED <name>, logical device LD0 with LLN0 (data set DS1, published by
// GOOSE GC1), MMXU1 (TotW: mag.f, q, t) and XCBR1 (Pos: stVal, q; NamPlt.vendor VisString255).
// DS1 holds TotW.q and Pos.q; with `newMember` a member Pos.stVal is inserted between them,
// as an edited SCL file would.
inline QByteArray testScl(const QString& iedName, bool newMember = false)
{
    const QByteArray middle = newMember ? R"(<FCDA ldInst="LD0" lnClass="XCBR" doName="Pos" daName="stVal" fc="ST"/>)" : "";
    return QByteArray(R"(<?xml version="1.0" encoding="UTF-8"?>
<SCL xmlns="http://www.iec.ch/61850/2003/SCL">
  <IED name=")")
        + iedName.toUtf8() + R"(">
    <AccessPoint name="S1"><Server>
      <LDevice inst="LD0">
        <LN0 lnClass="LLN0" inst="" lnType="LLN0_T">
          <DataSet name="DS1">
            <FCDA ldInst="LD0" lnClass="MMXU" doName="TotW" daName="q" fc="MX"/>)"
        + middle + R"(
            <FCDA ldInst="LD0" lnClass="XCBR" doName="Pos" daName="q" fc="ST"/>
          </DataSet>
          <GSEControl name="GC1" datSet="DS1"/>
        </LN0>
        <LN lnClass="MMXU" inst="1" lnType="MMXU_T"/>
        <LN lnClass="XCBR" inst="1" lnType="XCBR_T"/>
      </LDevice>
    </Server></AccessPoint>
  </IED>
  <DataTypeTemplates>
    <LNodeType id="LLN0_T" lnClass="LLN0"><DO name="Beh" type="ENS_T"/></LNodeType>
    <LNodeType id="MMXU_T" lnClass="MMXU"><DO name="TotW" type="MV_T"/></LNodeType>
    <LNodeType id="XCBR_T" lnClass="XCBR"><DO name="Pos" type="DPC_T"/><DO name="NamPlt" type="LPL_T"/></LNodeType>
    <DOType id="ENS_T" cdc="ENS"><DA name="stVal" bType="Enum" type="Beh_E" fc="ST"/></DOType>
    <DOType id="MV_T" cdc="MV">
      <DA name="mag" bType="Struct" type="AV_T" fc="MX"/>
      <DA name="q" bType="Quality" fc="MX"/>
      <DA name="t" bType="Timestamp" fc="MX"/>
    </DOType>
    <DOType id="DPC_T" cdc="DPC"><DA name="stVal" bType="Dbpos" fc="ST"/><DA name="q" bType="Quality" fc="ST"/></DOType>
    <DOType id="LPL_T" cdc="LPL"><DA name="vendor" bType="VisString255" fc="DC"/></DOType>
    <DAType id="AV_T"><BDA name="f" bType="FLOAT32"/></DAType>
    <EnumType id="Beh_E"><EnumVal ord="1">on</EnumVal></EnumType>
  </DataTypeTemplates>
</SCL>
)";
}
