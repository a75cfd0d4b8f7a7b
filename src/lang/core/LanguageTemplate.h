#pragma once
#include <QByteArray>

// English.lng: every built-in text as a language file line ("STRnnnn = text", between
// pilcrows where leading or trailing blanks matter), grouped by window and commented, so
// that translators start from a complete file. UTF-8 with a byte-order mark.
QByteArray englishLanguageTemplate();
