#include "options/core/LanguageList.h"
#include "support/TestSupport.h"
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

TEST(LanguageList, OrdinaryLngFilesSortedIgnoringCase)
{
    QTemporaryDir dir;
    for (const char* name : {"golf.lng", "Foxtrot.lng", "echo.lng", "Delta.lng", "charlie.lng", "Bravo.lng", "alpha.lng",
             ".hidden.lng", "ReadOnly.lng", "notes.txt", "alpha.lng.bak", "Upper.LNG"})
        writeTestFile(dir.filePath(name), "STR0000 = x\n");
    QFile::setPermissions(dir.filePath("ReadOnly.lng"), QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    QDir(dir.path()).mkdir("Folder.lng");
    QFile::link(dir.filePath("alpha.lng"), dir.filePath("Link.lng"));
    QFile::link(dir.filePath("missing"), dir.filePath("Broken.lng"));

    EXPECT_EQ(createLanguageList(dir.path()),
        QStringList(
            {".hidden.lng", "alpha.lng", "Bravo.lng", "charlie.lng", "Delta.lng", "echo.lng", "Foxtrot.lng", "golf.lng"}));
    EXPECT_EQ(createLanguageList(dir.filePath("no such folder")), QStringList());
}

TEST(LanguageList, FlagPictureOfTheLanguageElseDefaultElseNone)
{
    QTemporaryDir dir;
    writeTestFile(dir.filePath("Italiano.bmp"), "BM");
    EXPECT_EQ(flagPicture(dir.path(), "Italiano"), dir.filePath("Italiano.bmp"));
    EXPECT_EQ(flagPicture(dir.path(), "Deutsch"), QString());
    writeTestFile(dir.filePath("DefaultFlag.bmp"), "BM");
    EXPECT_EQ(flagPicture(dir.path(), "Deutsch"), dir.filePath("DefaultFlag.bmp"));
    EXPECT_EQ(flagPicture(dir.path(), "Italiano"), dir.filePath("Italiano.bmp"));
}

TEST(LanguageList, PagesOfSix)
{
    QStringList thirteen;
    for (int i = 0; i < 13; ++i)
        thirteen << QStringLiteral("L%1.lng").arg(i, 2, 10, QChar('0'));
    struct Case {
        int count, page;
        int pageShown, pageCount;
        bool prev, next;
        QStringList languages;
    };
    const Case cases[] = {
        {0, 1, 1, 1, false, false, {}}, {1, 1, 1, 1, false, false, {"L00.lng"}}, {6, 1, 1, 1, false, false, thirteen.mid(0, 6)},
        {7, 1, 1, 2, false, true, thirteen.mid(0, 6)}, {7, 2, 2, 2, true, false, {"L06.lng"}},
        {12, 2, 2, 2, true, false, thirteen.mid(6, 6)}, {13, 2, 2, 3, true, true, thirteen.mid(6, 6)},
        {13, 3, 3, 3, true, false, {"L12.lng"}}, {7, 5, 2, 2, true, false, {"L06.lng"}}, // a page beyond the last shows the last
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.count) + " languages, page " + std::to_string(c.page));
        const LanguagePage p = langPage(thirteen.mid(0, c.count), c.page);
        EXPECT_EQ(p.page, c.pageShown);
        EXPECT_EQ(p.pageCount, c.pageCount);
        EXPECT_EQ(p.showPrev, c.prev);
        EXPECT_EQ(p.showNext, c.next);
        EXPECT_EQ(p.languages, c.languages);
    }
    EXPECT_EQ(langPosition(2, 1), 6);
    EXPECT_EQ(languageOf("Italiano.lng"), "Italiano");
}
