#include "platform/SystemServices.h"
#include "support/TestSupport.h"
#include <QDir>
#include <QFileInfo>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <gtest/gtest.h>
#include <thread>

namespace {

// The home folder, the data folder and the working folder pointed elsewhere for a test's life.
class OtherHome {
public:
    OtherHome(const QString& home, const QString& workingFolder)
        : savedHome(qgetenv("HOME"))
        , savedDataHome(qgetenv("XDG_DATA_HOME"))
        , hadDataHome(qEnvironmentVariableIsSet("XDG_DATA_HOME"))
        , savedWorkingFolder(QDir::currentPath())
    {
        qputenv("HOME", QFile::encodeName(home));
        qunsetenv("XDG_DATA_HOME");
        QDir::setCurrent(workingFolder);
    }
    ~OtherHome()
    {
        QDir::setCurrent(savedWorkingFolder);
        qputenv("HOME", savedHome);
        if (hadDataHome)
            qputenv("XDG_DATA_HOME", savedDataHome);
    }
    OtherHome(const OtherHome&) = delete;
    OtherHome& operator=(const OtherHome&) = delete;

private:
    QByteArray savedHome, savedDataHome;
    bool hadDataHome;
    QString savedWorkingFolder;
};

// The move on a thread of its own: a move that never returns ends the test process with a
// failure instead of hanging it (a thread cannot be stopped, and left running it could go on
// in another working folder).
bool moveWithin(Trash& trash, const QString& path, std::chrono::seconds limit)
{
    auto promise = std::make_shared<std::promise<bool>>();
    std::future<bool> moved = promise->get_future();
    std::thread([&trash, path, promise] { promise->set_value(trash.moveToTrash(path)); }).detach();
    if (moved.wait_for(limit) != std::future_status::ready) {
        std::fprintf(stderr, "the move to the trash of %s did not return\n", qPrintable(path));
        std::fflush(stderr);
        std::_Exit(1);
    }
    return moved.get();
}

QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

// A configuration goes only into a real trash. Where none can be established, Qt's own move
// would put it into the working folder (files/Old, info/Old.trashinfo) and report success, or
// try names for ever where a regular file "info" is there: nothing moves, and the answer
// false makes the Open dialog ask whether to delete for good.
TEST(SystemTrash, MovesOnlyIntoARealTrash)
{
    struct Case {
        const char* name;
        QStringList homeFolders; // made in the home folder
        QStringList homeFiles;
        QStringList workingFiles; // made in the working folder
        bool moved;
    };
    const Case cases[] = {
        {"home without a data folder", {}, {}, {}, false},
        {"home without a data folder, a file named info in the working folder", {}, {}, {"info"}, false},
        {"trash whose info is a file", {".local/share/Trash/files"}, {".local/share/Trash/info"}, {}, false},
        {"trash whose files is a file", {".local/share/Trash/info"}, {".local/share/Trash/files"}, {}, false},
        {"data folder without a trash", {".local/share"}, {}, {}, true},
        {"trash", {".local/share/Trash/files", ".local/share/Trash/info"}, {}, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir root;
        const QString home = root.filePath("home"), work = root.filePath("work");
        const QString configuration = root.filePath("PROJECTS/Old");
        QDir().mkpath(home);
        QDir().mkpath(work);
        QDir().mkpath(configuration);
        writeTestFile(configuration + "/ParGen.xml", "<ParGen/>");
        for (const QString& folder : c.homeFolders)
            QDir(home).mkpath(folder);
        for (const QString& file : c.homeFiles)
            writeTestFile(home + "/" + file, "x");
        for (const QString& file : c.workingFiles)
            writeTestFile(work + "/" + file, "x");

        auto trash = makeSystemTrash();
        bool moved = false;
        {
            OtherHome other(home, work);
            moved = moveWithin(*trash, configuration, std::chrono::seconds(20));
        }
        EXPECT_EQ(moved, c.moved);
        EXPECT_EQ(QFileInfo(configuration).isDir(), !c.moved);
        EXPECT_EQ(entriesOf(work), c.workingFiles); // nothing put into the working folder
        if (c.moved) {
            const QString bin = home + "/.local/share/Trash";
            EXPECT_TRUE(QFileInfo::exists(bin + "/files/Old/ParGen.xml"));
            EXPECT_TRUE(QFileInfo::exists(bin + "/info/Old.trashinfo"));
        }
    }
}
