// The entry point of a fuzz target where libFuzzer is not linked in: runs the target once on
// each seed, as libFuzzer replays a corpus, so that every target is built and exercised with
// the tests. Arguments are files, or folders whose files are run in name order. A failed
// expectation of the target aborts, which fails the test; no seed at all fails it too.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
#ifdef SWQ_FUZZ_INITIALIZE
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
#endif

int main(int argc, char** argv)
{
#ifdef SWQ_FUZZ_INITIALIZE
    LLVMFuzzerInitialize(&argc, &argv);
#endif
    int runs = 0;
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        QStringList seeds;
        if (QFileInfo(argument).isDir()) {
            for (const QFileInfo& file : QDir(argument).entryInfoList(QDir::Files, QDir::Name))
                seeds << file.filePath();
        } else {
            seeds << argument;
        }
        for (const QString& seed : seeds) {
            QFile file(seed);
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(QDir::toNativeSeparators(seed)));
                return 1;
            }
            const QByteArray bytes = file.readAll();
            // A buffer of exactly the input's size, as libFuzzer gives it, so that a read past
            // its end is caught by the sanitizers.
            const auto size = static_cast<size_t>(bytes.size());
            const std::unique_ptr<uint8_t[]> data(new uint8_t[size]);
            if (size > 0)
                std::memcpy(data.get(), bytes.constData(), size);
            std::printf("Running: %s\n", qPrintable(QDir::toNativeSeparators(seed)));
            std::fflush(stdout);
            LLVMFuzzerTestOneInput(data.get(), size);
            ++runs;
        }
    }
    std::printf("Executed %d inputs\n", runs);
    return runs > 0 ? 0 : 1;
}
