#include "platform/WindowsErrorText.h"
#include <windows.h>
#include <type_traits>

static_assert(std::is_same_v<DWORD, unsigned long>, "the header spells DWORD as unsigned long");

QString windowsErrorText(unsigned long error)
{
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const QString result = text ? QString::fromWCharArray(text).trimmed() : QStringLiteral("error %1").arg(error);
    LocalFree(text);
    return result;
}
