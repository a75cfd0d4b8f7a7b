#pragma once
#include <QList>

class QLineEdit;

// Address octet fields: a "." typed in one is never inserted but moves the focus to the next
// field of the chain (when that one can take focus; in the last one it does nothing), and a
// field that receives the focus has its whole text selected, so typed digits replace it.
void chainOctetFields(const QList<QLineEdit*>& fields);
