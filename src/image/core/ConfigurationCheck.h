#pragma once
#include "base/Problems.h"
#include <QChar>

class ConfigurationPaths;
class TextTable;

namespace Image {

// Every check that a configuration's files must pass before its images are built: ParGen.xml
// as the communication window checks it, then the rows of IEC_61850_Client.xml as the access
// window checks them, then the rows that the next load of the access file would not give back
// as they are (checkRowsAgainstCatalog: devices, SCL files, data set members), then where the
// rows meet in the internal data array: an entry running past
// its end is an error, two entries sharing a bit a warning (the device takes them, though rarely
// as meant). Each problem names its file. A file that cannot be read is left to the
// build, which reports it. A missing ParGen.xml is an error (the device would get no usable
// network settings), an access list without entries, or none at all, a warning. Used by the
// update step and by `swquelmor-cli check` and `build`.
Problems checkConfiguration(const ConfigurationPaths& configuration, QChar decimalSeparator, const TextTable& texts);

// The update step's question before it builds a configuration with problems: the problems, one
// line each (the first 20, then "..."), and whether to build anyway.
QString buildAnywayQuestion(const Problems& problems, const TextTable& texts);

} // namespace Image
