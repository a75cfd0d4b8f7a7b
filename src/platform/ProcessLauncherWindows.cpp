#include "platform/SystemServices.h"
#include "platform/WindowsErrorText.h"
#include <QDir>
#include <windows.h>
#include <shellapi.h>

namespace {

// ShellExecuteExW returns the process handle; closing it leaves the program running.
class WindowsProcessLauncher final : public ProcessLauncher {
public:
    Started start(const QString& program, const QString& workingFolder, bool shown) override
    {
        const std::wstring file = QDir::toNativeSeparators(program).toStdWString();
        const std::wstring folder = QDir::toNativeSeparators(workingFolder).toStdWString();
        SHELLEXECUTEINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
        info.lpFile = file.c_str();
        info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
        info.nShow = shown ? SW_SHOWNORMAL : SW_HIDE;
        if (!ShellExecuteExW(&info) || !info.hProcess) {
            const DWORD error = GetLastError();
            const StartFailure kind = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? StartFailure::NotFound
                : error == ERROR_ACCESS_DENIED                                                       ? StartFailure::NotExecutable
                                                                                                     : StartFailure::Other;
            return {0, kind, windowsErrorText(error)};
        }
        return {reinterpret_cast<qint64>(info.hProcess), StartFailure::None, {}};
    }

    int exitCode(qint64 handle) override
    {
        DWORD code = 0;
        if (!GetExitCodeProcess(reinterpret_cast<HANDLE>(handle), &code))
            return -1; // a handle that cannot be asked ends the wait
        return static_cast<int>(code);
    }

    void release(qint64 handle) override { CloseHandle(reinterpret_cast<HANDLE>(handle)); }
};

} // namespace

std::unique_ptr<ProcessLauncher> makeSystemProcessLauncher() { return std::make_unique<WindowsProcessLauncher>(); }
