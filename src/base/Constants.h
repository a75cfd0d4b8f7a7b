#pragma once
#include <QString>

inline const QString SoftwareCode = QStringLiteral("SWQuelmor");
inline const QString SoftwareDescription = QStringLiteral("IEC61850 Client / EtherNet/IP - Converter");
inline const QString SoftwareVersion = QStringLiteral("1.000");
inline const QString MakerLabel = QStringLiteral("Tessav");

inline QString mainWindowTitle()
{
    return MakerLabel + QStringLiteral(" - Configurator SWQuelmor - IEC61850 Client / EtherNet/IP ");
}
