#pragma once
#include "access/core/AccessList.h"

struct AppContext;

// Export CSV and Import CSV of the access window: the file dialogs, the question before an
// import replaces rows, and the messages.
namespace PointListExchange {

inline const QString csvFileFilter = QStringLiteral("CSV Files (*.csv)|*.csv|Any File (*.*)|*.*");

void exportFile(const AccessList& access, AppContext& context);
// True when the rows were replaced; nothing changes unless the engineer accepts the lines
// that can be used. A file that gives no line to import changes nothing unless the engineer
// answers that the access list is to be emptied.
bool importFile(AccessList& access, AppContext& context);

} // namespace PointListExchange
