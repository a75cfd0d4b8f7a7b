#include "options/core/LanguageList.h"
#include "base/Files.h"
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// Only plain files that the engineer may change are offered.
bool isOrdinaryFile(const QFileInfo& info)
{
    if (!info.isFile() || info.isSymLink())
        return false;
#ifdef Q_OS_WIN
    constexpr DWORD excluded = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_TEMPORARY
        | FILE_ATTRIBUTE_COMPRESSED | FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_ENCRYPTED | FILE_ATTRIBUTE_REPARSE_POINT;
    const DWORD attributes
        = GetFileAttributesW(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(info.absoluteFilePath()).utf16()));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & excluded) == 0;
#else
    // The owner's write permission is what "read-only" means here.
    return (info.permissions() & QFileDevice::WriteOwner) != 0;
#endif
}

} // namespace

QStringList createLanguageList(const QString& languageFolder)
{
    // The extension is matched in its exact case where file names have case, so that the
    // language found is the one TextTable::loadLanguage() then opens.
    QDir::Filters filters = QDir::Files | QDir::Hidden | QDir::System;
#ifndef Q_OS_WIN
    filters |= QDir::CaseSensitive;
#endif
    const QDir folder(languageFolder, QStringLiteral("*.lng"), QDir::NoSort, filters);
    QStringList names;
    for (const QFileInfo& info : folder.entryInfoList())
        if (isOrdinaryFile(info))
            names << info.fileName();
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

QString languageOf(const QString& fileName) { return fileName.chopped(4); }

Result checkLanguageFile(const QString& languageFolder, const QString& language)
{
    return checkReadableFile(joinPath(languageFolder, language + QStringLiteral(".lng")), languageFileLimit);
}

QString flagPicture(const QString& languageFolder, const QString& language)
{
    for (const QString& name : {language + QStringLiteral(".bmp"), QStringLiteral("DefaultFlag.bmp")}) {
        const QString path = joinPath(languageFolder, name);
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

LanguagePage langPage(const QStringList& languages, int page)
{
    LanguagePage p;
    p.pageCount = std::max<int>(1, (static_cast<int>(languages.size()) + LanguagePage::slotCount - 1) / LanguagePage::slotCount);
    p.page = std::clamp(page, 1, p.pageCount);
    p.showPrev = p.page > 1;
    p.showNext = p.page < p.pageCount;
    const int first = langPosition(p.page, 1);
    p.languages = languages.mid(first, LanguagePage::slotCount);
    return p;
}
