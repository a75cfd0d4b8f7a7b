// Holds a configuration's lock as another program would, for the tests: prints "held" (or why
// not) and keeps the lock until its standard input ends; a test that kills it leaves the lock
// behind as a crash does.
#include "base/TextTable.h"
#include "configuration/core/ConfigurationLock.h"
#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    ConfigurationLock lock(QString::fromLocal8Bit(argv[1]));
    const Result held = lock.acquire();
    std::printf("%s\n", held ? "held" : qPrintable(englishMessage(held)));
    std::fflush(stdout);
    if (!held)
        return 1;
    char c = 0;
    while (std::fread(&c, 1, 1, stdin) == 1) { }
    return 0;
}
