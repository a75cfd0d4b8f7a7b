#pragma once
#include "base/Result.h"
#include <QString>
#include <vector>

class TextTable;

// Something in a configuration that the device would not take as the engineer meant it. An
// error stops the build unless the engineer insists; a warning only informs.
struct Problem {
    enum class Severity { Error, Warning };

    Severity severity = Severity::Error;
    QString file; // file name inside the configuration ("ParGen.xml")
    QString where; // row as the window counts it ("row 3", "DataSet row 2, member 3", from the table); empty for a setting
    QString column; // stored attribute or element name ("Port", "IEC61850_Client_VLAN")
    Result what; // the window's message, as a failed result

    // "FILE: WHERE: COLUMN: MESSAGE", empty parts left out; a warning starts with "warning: ".
    QString line(const TextTable& texts) const;
};

using Problems = std::vector<Problem>;

bool hasErrors(const Problems& problems);
