#pragma once
#include <QProcess>
#include <QStringList>

// The built swquelmor-cli run as an engineer runs it.
struct CliRun {
    int status = -1;
    QByteArray out, Err;
};

inline CliRun runCli(const QStringList& args)
{
    QProcess cli;
    cli.start(QStringLiteral(SWQ_CLI), args);
    CliRun run;
    if (!cli.waitForFinished(60000))
        return run;
    run.status = cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
    run.out = cli.readAllStandardOutput();
    run.Err = cli.readAllStandardError();
#ifdef Q_OS_WIN
    // A console program's text output has Windows' line ends there.
    run.out.replace("\r\n", "\n");
    run.Err.replace("\r\n", "\n");
#endif
    return run;
}
