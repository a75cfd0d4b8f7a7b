#include "QtPlatform.h"
#include "TFTessavoFirmWare.h"
#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    TQt_Platform platform;
    TProgramState state;
    TText_Table texts;
    TAppContext context{state, texts, platform.Services()};
    TFTessavoFirmWare mainWindow(context, QCoreApplication::applicationDirPath());
    mainWindow.show();
    return app.exec();
}
