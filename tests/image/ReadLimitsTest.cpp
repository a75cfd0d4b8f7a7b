// Every reader of a file from outside reads only regular files, and only up to the limit of
// its kind: a link to /dev/zero, a pipe or a folder gives an error instead of endless memory
// or a read that never returns.
#include "base/ProgramFolder.h"
#include "access/core/AccessFile.h"
#include "access/core/Catalog.h"
#include "scl/core/ModelCache.h"
#include "scl/core/SclIedList.h"
#include "scl/core/SclReader.h"
#include "comm/core/CommunicationSettings.h"
#include "image/core/DeviceImage.h"
#include "support/TestSupport.h"
#include "base/Files.h"
#include "base/ProgramState.h"
#include "base/Settings.h"
#include "base/TextNumbers.h"
#include "base/TextTable.h"
#include "base/XmlFile.h"
#include "configuration/core/ConfigurationPaths.h"
#include <QtGlobal>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif
#include <functional>
#include <gtest/gtest.h>

namespace {

// One reader: true with the message when it refused the file.
struct Reader {
    const char* kind;
    std::function<std::pair<bool, QString>(const QString& path)> read;
};

const Reader readers[] = {
    {"scl",
        [](const QString& path) {
            std::unique_ptr<Ied> device;
            const Result r = readSclFile(path, {}, device);
            return std::pair{!r.ok && !device, englishMessage(r)};
        }},
    {"access",
        [](const QString& path) {
            AccessList access;
            AccessFileReport report;
            const Result r = loadAccessFile(path, QFileInfo(path).path(), access, report);
            return std::pair{!r.ok, englishMessage(r)};
        }},
    {"pargen",
        [](const QString& path) {
            CommunicationSettings set;
            const Result r = readParGenFile(path, set);
            return std::pair{!r.ok && set == defaultCommunicationSettings(), englishMessage(r)};
        }},
    {"settings",
        [](const QString& path) {
            ProgramState state;
            state.configurationName = QStringLiteral("before");
            readSettings(path, state);
            return std::pair{state.configurationName == ProgramState().configurationName, QString()};
        }},
    {"language",
        [](const QString& path) {
            TextTable table;
            return std::pair{!table.readLanguageFile(path), QString()};
        }},
    {"image",
        [](const QString& path) {
            QByteArray data;
            const Result r = readWholeFile(path, data, imageFileLimit);
            return std::pair{!r.ok && data.isEmpty(), englishMessage(r)};
        }},
};

// What stands where the file should be.
struct Target {
    const char* name;
    std::function<void(const QString& path)> make;
};

// Devices, pipes and symbolic links as Linux has them; Windows' shortcuts are files.
const Target targets[] = {
#ifdef Q_OS_UNIX
    {"link to /dev/zero", [](const QString& path) { ASSERT_TRUE(QFile::link("/dev/zero", path)); }},
    {"fifo", [](const QString& path) { ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0); }},
    {"link to a folder", [](const QString& path) { ASSERT_TRUE(QFile::link(QFileInfo(path).path(), path)); }},
#endif
    {"folder", [](const QString& path) { ASSERT_TRUE(QDir().mkdir(path)); }},
};

} // namespace

TEST(ReadLimits, OnlyRegularFilesAreRead)
{
    for (const Reader& reader : readers) {
        for (const Target& target : targets) {
            SCOPED_TRACE(std::string(reader.kind) + ", " + target.name);
            QTemporaryDir dir;
            const QString path = dir.filePath("input.xml");
            target.make(path);
            const auto [refused, message] = reader.read(path);
            EXPECT_TRUE(refused);
            if (!message.isEmpty()) {
                EXPECT_TRUE(message.contains("input.xml")) << message.toStdString();
                EXPECT_TRUE(message.contains("not a regular file")) << message.toStdString();
            }
        }
    }
}

TEST(ReadLimits, FileJustOverTheLimitIsRefusedAndOneAtItIsRead)
{
    struct Case {
        const char* name;
        std::function<Result(const QString& path, qint64 limit)> read;
    };
    const Case cases[] = {
        {"readWholeFile",
            [](const QString& path, qint64 limit) {
                QByteArray data;
                return readWholeFile(path, data, {limit, settingsFileLimit.kind});
            }},
        {"loadXmlFile",
            [](const QString& path, qint64 limit) {
                pugi::xml_document doc;
                return loadXmlFile(path, doc, {limit, settingsFileLimit.kind});
            }},
        {"readSclFile",
            [](const QString& path, qint64 limit) {
                std::unique_ptr<Ied> device;
                SclLimits limits;
                limits.maxFileBytes = limit;
                return readSclFile(path, {}, device, limits);
            }},
        {"readLanguageFile",
            [](const QString& path, qint64 limit) {
                TextTable table;
                return table.readLanguageFile(path, {limit, languageFileLimit.kind})
                    ? Result::success()
                    : Result::failed(Text::ErrorLanguageNotUsable);
            }},
    };
    const QByteArray content = "<SCL><IED name=\"A\"/></SCL>";
    const auto size = qint64(content.size());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("small.scd");
        writeTestFile(path, content);
        const Result over = c.read(path, size - 1);
        EXPECT_FALSE(over.ok);
        if (over.textNumber != Text::ErrorLanguageNotUsable) {
            EXPECT_TRUE(englishMessage(over).contains("small.scd")) << englishMessage(over).toStdString();
        }
        EXPECT_TRUE(c.read(path, size).ok) << englishMessage(c.read(path, size)).toStdString();
    }
}

TEST(ReadLimits, ErrorSaysWhichLimit)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(settingsFileName);
    writeTestFile(path, "<a>twelve</a>");
    QByteArray data;
    EXPECT_EQ(englishMessage(readWholeFile(path, data, {10, settingsFileLimit.kind})),
        "Cannot read " + QDir::toNativeSeparators(path) + ": it is larger than the 10 bytes a settings file may have");
}

// The limits of each kind, with sparse files that take no disk space and are never read.
TEST(ReadLimits, EachKindHasItsLimit)
{
    struct Case {
        qint64 size;
        std::function<Result(const QString& path)> read;
        const char* says;
    };
    const Case cases[] = {
        {settingsFileLimit.bytes + 1,
            [](const QString& path) {
                pugi::xml_document doc;
                return loadXmlFile(path, doc, settingsFileLimit);
            },
            "larger than the 16 MiB a settings file may have"},
        {accessFileLimit.bytes + 1,
            [](const QString& path) {
                AccessList access;
                AccessFileReport report;
                return loadAccessFile(path, QFileInfo(path).path(), access, report);
            },
            "larger than the 256 MiB an access file may have"},
        {communicationFileLimit.bytes + 1,
            [](const QString& path) {
                CommunicationSettings set;
                return readParGenFile(path, set);
            },
            "larger than the 16 MiB a communication settings file may have"},
        {sclFileLimit.bytes + 1,
            [](const QString& path) {
                std::unique_ptr<Ied> device;
                return readSclFile(path, {}, device);
            },
            "larger than the 2 GiB an SCL file may have"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        QTemporaryDir dir;
        const QString path = dir.filePath("big.xml");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(c.size));
        file.close();
        const Result r = c.read(path);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(englishMessage(r).contains(c.says)) << englishMessage(r).toStdString();
    }
}

// Another program shortens an SCL file while it is read (`truncate -s 1000` on a station file
// that Step 3, export-csv or scl-info is reading): the reading ends with an error naming the
// file, never with the process killed by a fault in a mapping of the lost pages.
TEST(ReadLimits, SclFileShortenedWhileReadGivesAnError)
{
    struct Case {
        const char* name;
        std::function<Result(const QTemporaryDir& dir, const QString& scl)> read;
    };
    const Case cases[] = {
        {"readSclFile",
            [](const QTemporaryDir&, const QString& scl) {
                std::unique_ptr<Ied> device;
                const Result r = readSclFile(scl, {}, device);
                EXPECT_FALSE(device);
                return r;
            }},
        {"listSclIedsOfFile",
            [](const QTemporaryDir&, const QString& scl) {
                std::vector<IedSummary> ieds;
                return listSclIedsOfFile(scl, ieds);
            }},
        {"importSclFile",
            [](const QTemporaryDir& dir, const QString& scl) {
                AccessList access;
                const Result r = importSclFile(access, dir.filePath("Plant"), scl, [] { return OverwriteAnswer::Yes; });
                EXPECT_TRUE(access.devices.empty());
                EXPECT_FALSE(QFileInfo::exists(ConfigurationPaths(dir.filePath("Plant")).catalogFolder() + "/bay.scd"));
                return r;
            }},
        {"loadAccessFile, the catalog copy",
            [](const QTemporaryDir& dir, const QString& scl) {
                const QString catalog = ConfigurationPaths(dir.filePath("Plant")).catalogFolder();
                QDir().mkpath(catalog);
                QFile::copy(scl, catalog + "/bay.scd");
                writeTestFile(dir.filePath("Plant/IEC_61850_Client.xml"),
                    R"(<IEC_68850_Client><List_ICD_Files><ICD_File Name="X" FileName="bay.scd"/></List_ICD_Files>)"
                    R"(<List_DA_Selected/><List_DataSet_Selected/></IEC_68850_Client>)");
                catalogModels().dropIdle();
                AccessList access;
                AccessFileReport report;
                const Result loaded = loadAccessFile(dir.filePath("Plant/IEC_61850_Client.xml"), catalog, access, report);
                EXPECT_TRUE(loaded.ok) << englishMessage(loaded).toStdString();
                EXPECT_EQ(access.devices.size(), 1u);
                return access.devices.empty() || access.devices[0]->fileError.isEmpty()
                    ? Result::success()
                    : Result::failed(Text::ErrorCannotRead, {scl, access.devices[0]->fileError});
            }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        QDir(dir.path()).mkpath("Plant");
        const QString scl = dir.filePath("source/bay.scd");
        QDir(dir.path()).mkpath("source");
        ASSERT_TRUE(QFile::copy(Fixture("scl/bay.scd"), scl));
        int shortened = 0;
        setReadPauseForTests([&](const QString& path) {
            if (!path.endsWith(".scd"))
                return;
            ++shortened;
            QFile(path).resize(1000);
        });
        const Result r = c.read(dir, QDir::cleanPath(scl));
        setReadPauseForTests({});
        EXPECT_EQ(shortened, 1);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(englishMessage(r).endsWith("bay.scd: another program changed it while it was read; try again"))
            << englishMessage(r).toStdString();
    }
}
