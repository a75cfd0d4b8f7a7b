#include "SystemServices.h"
#include <QDir>
#include <windows.h>
#include <shellapi.h>

namespace {

QString Last_Error_Text(DWORD error)
{
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const QString result = text ? QString::fromWCharArray(text).trimmed() : QStringLiteral("error %1").arg(error);
    LocalFree(text);
    return result;
}

// ShellExecuteExW returns the process handle; closing it leaves the program running.
class TProcess_Launcher_Windows final : public IProcess_Launcher {
public:
    qint64 Start(const QString& program, bool shown, QString& error) override
    {
        const std::wstring file = QDir::toNativeSeparators(program).toStdWString();
        SHELLEXECUTEINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
        info.lpFile = file.c_str();
        info.nShow = shown ? SW_SHOWNORMAL : SW_HIDE;
        if (!ShellExecuteExW(&info) || !info.hProcess) {
            error = Last_Error_Text(GetLastError());
            return 0;
        }
        return reinterpret_cast<qint64>(info.hProcess);
    }

    int Exit_Code(qint64 handle) override
    {
        DWORD code = 0;
        if (!GetExitCodeProcess(reinterpret_cast<HANDLE>(handle), &code))
            return -1; // a handle that cannot be asked ends the wait
        return static_cast<int>(code);
    }

    void Release(qint64 handle) override { CloseHandle(reinterpret_cast<HANDLE>(handle)); }
};

} // namespace

std::unique_ptr<IProcess_Launcher> Make_System_Process_Launcher() { return std::make_unique<TProcess_Launcher_Windows>(); }
