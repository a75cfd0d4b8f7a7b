#include "cli/CommandLine.h"
#include "support/TestSupport.h"
#include <gtest/gtest.h>

namespace {

// What the last command run received.
QStringList received;

int record(const QStringList& args, QTextStream& out, QTextStream&)
{
    received = args;
    out << "ran\n";
    return 0;
}

const Command commands[] = {
    {"export", "[--separator=CHAR] [-f] FOLDER FILE",
        "Writes a table. The second sentence is only in the command's own help, which is long enough to be "
        "wrapped onto more than one line of the terminal when it is shown.",
        record},
    {"check", "FOLDER", "Checks a folder.", record},
};

struct Outcome {
    int status;
    QString out, err;
};

Outcome runWith(const QStringList& args)
{
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    received = {QStringLiteral("(not run)")};
    const int status = runCommandLine(commands, args, outStream, errStream);
    outStream.flush();
    errStream.flush();
    return {status, out, err};
}

} // namespace

TEST(CommandLine, HelpVersionAndUsageErrors)
{
    const QString list = "Commands:\n  export  Writes a table.\n  check   Checks a folder.\n";
    const QString exportUsage = "Usage: swquelmor-cli export [--separator=CHAR] [-f] FOLDER FILE\n";
    const struct {
        QStringList args;
        int status;
        QString out; // contained in the output; an empty text: no output at all
        QString err;
    } cases[] = {
        {{"--help"}, 0, list, {}},
        {{"-h"}, 0, list, {}},
        {{"--version"}, 0, "swquelmor-cli 1.000\n", {}},
        {{"export", "--help"}, 0, exportUsage, {}},
        {{"check", "a", "-h"}, 0, "Usage: swquelmor-cli check FOLDER\n\n  Checks a folder.\n", {}},
        // Mistakes: exit 2, the usage on stderr and nothing on stdout.
        {{}, 2, {}, list},
        {{"--frobnicate"}, 2, {}, "swquelmor-cli: unknown option --frobnicate\n"},
        {{"frobnicate"}, 2, {}, "swquelmor-cli: unknown command frobnicate\n"},
        {{"check", "--force", "a"}, 2, {}, "swquelmor-cli check: unknown option --force\n\nUsage: swquelmor-cli check FOLDER"},
        {{"export", "--separator", "a", "b", "-x"}, 2, {}, "unknown option -x\n\n" + exportUsage},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const Outcome r = runWith(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(received, QStringList{"(not run)"});
        if (c.out.isEmpty()) {
            EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        }
        EXPECT_TRUE(r.out.contains(c.out)) << r.out.toStdString();
        if (c.err.isEmpty()) {
            EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
        }
        EXPECT_TRUE(r.err.contains(c.err)) << r.err.toStdString();
        if (c.status == 2 && c.args.size() <= 1) {
            EXPECT_TRUE(r.err.contains("Usage: swquelmor-cli COMMAND"));
        }
    }

    // A command's own help is wrapped to the terminal's width.
    for (const QString& line : runWith({"export", "--help"}).out.split('\n'))
        EXPECT_LE(line.size(), 79) << line.toStdString();
}

TEST(CommandLine, OptionsTheUsageNamesAndArgumentsReachTheCommand)
{
    const struct {
        QStringList args;
        QStringList received;
    } cases[] = {
        {{"export", "--separator=;", "-f", "dir", "out.csv"}, {"--separator=;", "-f", "dir", "out.csv"}},
        {{"export", "--separator", ";", "dir", "-"}, {"--separator", ";", "dir", "-"}}, // "-": standard output
        {{"check", "-5"}, {"-5"}},
        // After "--" everything is an argument, and "--" itself is not passed on.
        {{"check", "--", "--odd-name"}, {"--odd-name"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const Outcome r = runWith(c.args);
        EXPECT_EQ(r.status, 0) << c.args.join(' ').toStdString() << ": " << r.err.toStdString();
        EXPECT_EQ(received, c.received);
        EXPECT_EQ(r.out, "ran\n");
    }
}
