#include "platform/SystemServices.h"
#include <QFile>
#include <QHash>
#include <QList>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

// Starts programs with posix_spawn in a session of their own, so that they outlive the
// configurator and its terminal, and polls them with waitpid. A child is never killed.
class PosixProcessLauncher final : public ProcessLauncher {
public:
    ~PosixProcessLauncher() override { reapReleased(); }

    qint64 start(const QString& program, bool /*shown: a started program decides its own window*/, QString& error) override
    {
        reapReleased();
        QByteArray path = QFile::encodeName(program);
        char* argv[] = {path.data(), nullptr};
        posix_spawnattr_t attr;
        posix_spawnattr_init(&attr);
        // The child starts with no blocked signals and SIGPIPE at its default, whatever ours are.
        sigset_t none, pipe;
        sigemptyset(&none);
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        posix_spawnattr_setsigmask(&attr, &none);
        posix_spawnattr_setsigdefault(&attr, &pipe);
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        pid_t pid = 0;
        const int failure = posix_spawn(&pid, path.constData(), nullptr, &attr, argv, environ);
        posix_spawnattr_destroy(&attr);
        if (failure != 0) {
            error = QString::fromLocal8Bit(std::strerror(failure));
            return 0;
        }
        return pid;
    }

    int exitCode(qint64 handle) override
    {
        if (const auto code = endedCodes.constFind(handle); code != endedCodes.cend())
            return *code;
        int status = 0;
        const pid_t done = ::waitpid(static_cast<pid_t>(handle), &status, WNOHANG);
        if (done == 0)
            return StillActive;
        // A signal's end is reported the way shells do; a lost child counts as ended.
        const int code = done < 0 ? -1 : WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        endedCodes.insert(handle, code);
        return code;
    }

    void release(qint64 handle) override
    {
        if (!endedCodes.remove(handle))
            released << handle; // still running: reaped later, once it has ended on its own
        reapReleased();
    }

private:
    void reapReleased()
    {
        released.removeIf([](qint64 pid) {
            int status = 0;
            return ::waitpid(static_cast<pid_t>(pid), &status, WNOHANG) != 0;
        });
    }

    QHash<qint64, int> endedCodes;
    QList<qint64> released;
};

} // namespace

std::unique_ptr<ProcessLauncher> makeSystemProcessLauncher() { return std::make_unique<PosixProcessLauncher>(); }
