#pragma once
#include "base/Result.h"
#include <QString>
#include <QStringList>

// The language files offered in the options window: the names (with their ".lng") of the
// ordinary files in `languageFolder`, sorted ignoring the case of letters. Folders, links and
// files marked read-only (and on Windows temporary, compressed, offline or encrypted) are left
// out; hidden files are offered.
QStringList createLanguageList(const QString& languageFolder);

// The language of a file name in that list: the name without its ".lng".
QString languageOf(const QString& fileName);

// Whether the language file of `language` can be read: a regular file within the size a
// language file may have. Else the reason, naming the file; a file that cannot be read would
// leave every text English.
Result checkLanguageFile(const QString& languageFolder, const QString& language);

// The flag picture of a language: its ".bmp", else "DefaultFlag.bmp", else an empty text.
QString flagPicture(const QString& languageFolder, const QString& language);

// One page of six language slots.
struct LanguagePage {
    static constexpr int slotCount = 6;
    int page = 1;
    int pageCount = 1;
    bool showPrev = false;
    bool showNext = false;
    QStringList languages; // the languages of this page's slots, at most six
};

// Page `page` (from 1) of `languages`. With no language there is one empty page.
LanguagePage langPage(const QStringList& languages, int page);

// The list position of slot `slot` (from 1) on page `page`.
inline int langPosition(int page, int slot) { return (page - 1) * LanguagePage::slotCount + slot - 1; }
