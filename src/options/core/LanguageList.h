#pragma once
#include <QString>
#include <QStringList>

// The language files offered in the options window: the names (with their ".lng") of the
// ordinary files in `languageFolder`, sorted ignoring the case of letters. Folders, links and
// files marked read-only (and on Windows temporary, compressed, offline or encrypted) are left
// out; hidden files are offered.
QStringList Create_Lang_List(const QString& languageFolder);

// The language of a file name in that list: the name without its ".lng".
QString Language_Of(const QString& fileName);

// The flag picture of a language: its ".bmp", else "DefaultFlag.bmp", else an empty text.
QString Flag_Picture(const QString& languageFolder, const QString& language);

// One page of six language slots.
struct TLang_Page {
    static constexpr int Slots = 6;
    int Page = 1;
    int Page_Count = 1;
    bool Show_Prev = false;
    bool Show_Next = false;
    QStringList Languages; // the languages of this page's slots, at most six
};

// Page `page` (from 1) of `languages`. With no language there is one empty page.
TLang_Page Lang_Page(const QStringList& languages, int page);

// The list position of slot `slot` (from 1) on page `page`.
inline int Lang_Position(int page, int slot) { return (page - 1) * TLang_Page::Slots + slot - 1; }
