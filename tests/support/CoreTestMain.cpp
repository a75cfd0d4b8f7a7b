#include <QCoreApplication>
#include <gtest/gtest.h>
#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
#ifdef Q_OS_WIN
    // Lines end in "\n" alone, as ctest reads the test list of a Windows build run under Wine.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
