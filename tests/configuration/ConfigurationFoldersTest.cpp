#include "configuration/core/ConfigurationFolders.h"
#include "base/Files.h"
#include "base/ProgramState.h"
#include "base/TextNumbers.h"
#include "support/TestSupport.h"
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

TEST(ConfigurationFolders, NewNamesAreRefusedForEveryRuleWithItsText)
{
    QTemporaryDir dir;
    for (const char* name : {"Plant", "Trail "})
        ASSERT_TRUE(QDir(dir.path()).mkdir(name));
    const struct {
        QString name;
        QString renamed;
        int text; // -1: taken
    } cases[] = {
        {"", {}, Text::ErrorNameEmpty},
        {"Plant 2", {}, -1},
        {u"Anlage \u00DCberdruck"_qs, {}, -1},
        // Equal once case and blanks are ignored, so equal after a copy to Windows or in a list.
        {"plant", {}, Text::ErrorNameExists},
        {"PLANT", {}, Text::ErrorNameExists},
        {"Pla nt", {}, Text::ErrorNameExists},
        {"Trail", {}, Text::ErrorNameExists},
        {u"pla\u00A0nt"_qs, {}, Text::ErrorNameExists},
        // A configuration may take its own name in another case.
        {"plant", "Plant", -1},
        {"Trail", "Trail ", -1},
        // Names Windows refuses, on every system.
        {"CON", {}, Text::ErrorNameNotCreated},
        {"con", {}, Text::ErrorNameNotCreated},
        {"aux.txt", {}, Text::ErrorNameNotCreated},
        {"Com1", {}, Text::ErrorNameNotCreated},
        {"LPT9.tar.gz", {}, Text::ErrorNameNotCreated},
        {u"COM\u00B2"_qs, {}, Text::ErrorNameNotCreated},
        {"nul .log", {}, Text::ErrorNameNotCreated},
        {"Plant.", {}, Text::ErrorNameNotCreated},
        {"a<b", {}, Text::ErrorNameNotCreated},
        {"a>b", {}, Text::ErrorNameNotCreated},
        {"a:b", {}, Text::ErrorNameNotCreated},
        {"a\"b", {}, Text::ErrorNameNotCreated},
        {"a/b", {}, Text::ErrorNameNotCreated},
        {"a\\b", {}, Text::ErrorNameNotCreated},
        {"a|b", {}, Text::ErrorNameNotCreated},
        {"a?b", {}, Text::ErrorNameNotCreated},
        {"a*b", {}, Text::ErrorNameNotCreated},
        {"tab\there", {}, Text::ErrorNameNotCreated},
        {"..", {}, Text::ErrorNameNotCreated},
        {".hidden", {}, Text::ErrorNameNotCreated}, // never listed on Linux
        // Only the exact device names are reserved.
        {"CONSOLE", {}, -1},
        {"COM10", {}, -1},
        {"auxiliary.txt", {}, -1},
        {"LPT", {}, -1},
    };
    for (const auto& c : cases) {
        const Result result = checkNewConfigurationName(dir.path(), c.name, c.renamed);
        EXPECT_EQ(result.ok, c.text < 0) << c.name.toStdString();
        EXPECT_EQ(result.textNumber, c.text) << c.name.toStdString();
    }
}

TEST(ConfigurationFolders, DuplicateCopiesEveryFileAndAFailedCopyLeavesNothing)
{
    QTemporaryDir dir;
    const QDir projects(dir.path());
    projects.mkpath("Plant/bin");
    projects.mkpath("Plant/ICD_Catalog");
    writeTestFile(dir.filePath("Plant/ParGen.xml"), "<ParGen/>");
    writeTestFile(dir.filePath("Plant/bin/bank1.bin"), QByteArray(2048, '\x5A'));
    writeTestFile(dir.filePath("Plant/ICD_Catalog/ied.icd"), QByteArray(64 * 1024, 'x'));

    ASSERT_TRUE(duplicateConfiguration(dir.path(), "Plant", "Plant (2)").ok);
    EXPECT_EQ(entriesOf(dir.path()), (QStringList{"Plant", "Plant (2)"}));
    for (const char* file : {"ParGen.xml", "bin/bank1.bin", "ICD_Catalog/ied.icd"})
        EXPECT_EQ(readTestFile(dir.filePath(QStringLiteral("Plant (2)/") + file)),
            readTestFile(dir.filePath(QStringLiteral("Plant/") + file)))
            << file;

#ifdef SWQ_HAVE_FILE_SIZE_LIMIT
    Result failed;
    {
        const FileSizeLimit fullDisk(4096); // the catalog file does not fit
        failed = duplicateConfiguration(dir.path(), "Plant", "Copy");
    }
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.textNumber, Text::ErrorConfigurationNotCopied);
    EXPECT_EQ(entriesOf(dir.path()), (QStringList{"Plant", "Plant (2)"}));
#endif
}

TEST(ConfigurationFolders, DeletingALinkedConfigurationKeepsWhatItLeadsTo)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("Plant/bin");
    writeTestFile(dir.filePath("Plant/ParGen.xml"), "<ParGen/>");
    ASSERT_TRUE(QFile::link(dir.filePath("Plant"), dir.filePath("Alias")));

    ASSERT_TRUE(deleteConfigurationFolder(dir.filePath("Alias")).ok);
    EXPECT_EQ(entriesOf(dir.path()), QStringList{"Plant"});
    EXPECT_EQ(entriesOf(dir.filePath("Plant")), (QStringList{"ParGen.xml", "bin"}));

    ASSERT_TRUE(deleteConfigurationFolder(dir.filePath("Plant")).ok);
    EXPECT_TRUE(entriesOf(dir.path()).isEmpty());
}

TEST(ConfigurationFolders, ActiveConfigurationIsKnownByItsFolder)
{
    QTemporaryDir dir;
    ProgramState state;
    state.setProgramFolder(dir.path());
    QDir(state.projectsFolder).mkdir("Plant");
    QDir(state.projectsFolder).mkdir("PLANT");
    ASSERT_TRUE(QFile::link(joinPath(state.projectsFolder, "Plant"), joinPath(state.projectsFolder, "Alias")));
    EXPECT_FALSE(state.isActiveConfiguration("Plant"));
    state.setActiveConfiguration("Plant");
    EXPECT_TRUE(state.isActiveConfiguration("Plant"));
    // Another folder with the same letters (a case-sensitive file system) or a link to it is not active.
    EXPECT_FALSE(state.isActiveConfiguration("PLANT"));
    EXPECT_FALSE(state.isActiveConfiguration("Alias"));
}

TEST(ConfigurationFolders, OpeningAConfigurationRemovesTheTemporariesOfItsFiles)
{
    QTemporaryDir dir;
    ProgramState state;
    state.setProgramFolder(dir.path());
    // The names as a configuration has them on disk.
    const QString project = joinPath(state.projectsFolder, "Plant");
    const QString bin = joinPath(project, "bin"), catalog = joinPath(project, "ICD_Catalog");
    QDir().mkpath(bin);
    QDir().mkpath(catalog);
    struct Case {
        QString path;
        bool stale;
    };
    const Case cases[] = {
        {joinPath(project, "IEC_61850_Client.xml.Xy12Ab"), true},
        {joinPath(project, "ParGen.xml.q9Q9q9"), true},
        {joinPath(bin, "bank1.bin.ABCDEF"), true},
        {joinPath(bin, "bank2.bin.abc123"), true},
        {joinPath(catalog, "basic.scd.Tmp001"), true},
        {joinPath(catalog, "Feeder.ICD.Tmp002"), true}, // a first import, no copy of that name yet
        {joinPath(catalog, "station.scl.Tmp005"), true}, // every SCL ending, .scl too
        {joinPath(catalog, "Bay.SCL.Tmp006"), true},
        {joinPath(catalog, "bay.cid.Tmp007"), true},
        {joinPath(catalog, "basic.scd"), false},
        {joinPath(catalog, "notes.txt.Tmp003"), false}, // not an SCL name
        {joinPath(project, "IEC_61850_Client.xml"), false},
        {joinPath(project, "Readme.txt.Tmp004"), false},
        {joinPath(bin, "bank3.bin.abc123"), false},
    };
    for (const Case& c : cases)
        writeTestFile(c.path, "x");
    // Another configuration is left alone.
    const QString other = joinPath(state.projectsFolder, "Other");
    QDir().mkpath(other);
    writeTestFile(joinPath(other, "ParGen.xml.q9Q9q9"), "x");

    openConfiguration(state, "Plant");
    for (const Case& c : cases)
        EXPECT_EQ(QFileInfo::exists(c.path), !c.stale) << c.path.toStdString();
    EXPECT_TRUE(QFileInfo::exists(joinPath(other, "ParGen.xml.q9Q9q9")));
}
