#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

// The window program answers --help and --version in a terminal without a display: were it to
// open a window first, it would fail here, where no display can be reached.
TEST(ProgramOptions, HelpAndVersionPrintWithoutAWindow)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.insert("QT_QPA_PLATFORM", "xcb");
    const struct {
        const char* program;
        const char* option;
        QByteArray out;
    } cases[] = {
        {SWQ_APP, "--version", "SWQuelmor 1.000\n"},
        {SWQ_APP, "--help", "Usage: SWQuelmor [--help | --version]\n"},
        {SWQ_CLI, "--version", "swquelmor-cli 1.000\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.program) + ' ' + c.option);
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QString::fromUtf8(c.program), {QString::fromLatin1(c.option)});
        ASSERT_TRUE(program.waitForFinished(60000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0) << c.option << ": " << program.readAllStandardError().toStdString();
        EXPECT_TRUE(program.readAllStandardOutput().startsWith(c.out)) << c.program << ' ';
    }
}
