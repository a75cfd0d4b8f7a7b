#include "ProgramFolder.h"
#include "QtPlatform.h"
#include "TFTessavoFirmWare.h"
#include <QApplication>
#include <QStandardPaths>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("SWQuelmor"));
    QApplication::setOrganizationName(QStringLiteral("Tessav"));
    TQt_Platform platform;
    TProgramState state;
    TText_Table texts;
    TAppContext context{state, texts, platform.Services()};
    const QString folder = Resolve_Program_Folder(QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
    TFTessavoFirmWare mainWindow(context, folder);
    mainWindow.show();
    return app.exec();
}
