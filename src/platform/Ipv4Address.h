#pragma once
#include <QStringView>
#include <optional>

// A dotted IPv4 address read without any name look-up: four parts of one to three decimal
// digits each, 0 to 255, nothing else (no blanks, no names, no octal or hexadecimal forms;
// "010" is ten). Host byte order.
inline std::optional<quint32> parseNumericIPv4(QStringView text)
{
    quint32 address = 0;
    int parts = 0;
    qsizetype i = 0;
    while (parts < 4) {
        int value = 0, digits = 0;
        for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9' && digits < 4; ++i, ++digits)
            value = value * 10 + (text[i].unicode() - '0');
        if (digits == 0 || digits > 3 || value > 255)
            return std::nullopt;
        address = (address << 8) | static_cast<quint32>(value);
        if (++parts < 4) {
            if (i >= text.size() || text[i] != u'.')
                return std::nullopt;
            ++i;
        }
    }
    if (i != text.size())
        return std::nullopt;
    return address;
}
