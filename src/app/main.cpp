#include "base/ProgramFolder.h"
#include "platform/QtPlatform.h"
#include "app/MainWindow.h"
#include <QApplication>
#include <QStandardPaths>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("SWQuelmor"));
    QApplication::setOrganizationName(QStringLiteral("Tessav"));
    QtPlatform platform;
    ProgramState state;
    TextTable texts;
    AppContext context{state, texts, platform.services()};
    const QString folder = resolveProgramFolder(
        QCoreApplication::applicationDirPath(), QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
    MainWindow mainWindow(context, folder);
    mainWindow.show();
    return app.exec();
}
