#include "base/ProgramFolder.h"
#include "platform/QtPlatform.h"
#include "app/MainWindow.h"
#include "base/Constants.h"
#include <QApplication>
#include <QStandardPaths>
#include <cstdio>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

// --help and --version are answered before any window system is asked for: they work in a
// terminal without a display.
static bool answeredWithoutWindow(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
#ifdef Q_OS_WIN
        // A window program has no console of its own: the answer goes to the console it was
        // started from, unless its output is already redirected.
        if ((arg == "--version" || arg == "--help" || arg == "-h") && !GetStdHandle(STD_OUTPUT_HANDLE)
            && AttachConsole(ATTACH_PARENT_PROCESS))
            std::freopen("CONOUT$", "w", stdout);
#endif
        if (arg == "--version") {
            std::printf("%s %s\n", qPrintable(SoftwareCode), qPrintable(SoftwareVersion));
            return true;
        }
        if (arg == "--help" || arg == "-h") {
            std::printf("Usage: %s [--help | --version]\n\n"
                        "Starts the configurator of the %s in its window.\n"
                        "  --help     shows this text\n"
                        "  --version  shows the version\n"
                        "The files of the configurator are also handled without a window by swquelmor-cli\n"
                        "(swquelmor-cli --help).\n",
                qPrintable(SoftwareCode), qPrintable(SoftwareDescription));
            return true;
        }
    }
    return false;
}

int main(int argc, char* argv[])
{
    if (answeredWithoutWindow(argc, argv))
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("SWQuelmor"));
    QApplication::setOrganizationName(QStringLiteral("Tessav"));
    QtPlatform platform;
    ProgramState state;
    TextTable texts;
    AppContext context{state, texts, platform.services()};
    platform.setMessageBoxTexts([&texts] { return messageBoxTexts(texts); });
    const QString folder = resolveProgramFolder(
        QCoreApplication::applicationDirPath(), QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
    MainWindow mainWindow(context, folder);
    mainWindow.show();
    return app.exec();
}
