#include "platform/SystemServices.h"
#include <QFile>
#include <QHash>
#include <QList>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
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

    Started start(
        const QString& program, const QString& workingFolder, bool /*shown: a started program decides its own window*/) override
    {
        reapReleased();
        QByteArray path = QFile::encodeName(program);
        const QByteArray folder = QFile::encodeName(workingFolder);
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
        // In its own folder, where its descriptor lies, and with its standard streams on
        // /dev/null: a closed terminal must not end it, nor its output clutter ours.
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (!folder.isEmpty())
            posix_spawn_file_actions_addchdir_np(&actions, folder.constData());
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        pid_t pid = 0;
        const int failure = posix_spawn(&pid, path.constData(), &actions, &attr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attr);
        if (failure != 0) {
            const StartFailure kind = failure == ENOENT   ? StartFailure::NotFound
                : failure == EACCES || failure == ENOEXEC ? StartFailure::NotExecutable
                                                          : StartFailure::Other;
            return {0, kind, QString::fromLocal8Bit(std::strerror(failure))};
        }
        return {pid, StartFailure::None, {}};
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
