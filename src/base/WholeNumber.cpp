#include "base/WholeNumber.h"

std::optional<qint32> parseWholeNumber(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    unsigned base = 10;
    if (i < n && text[i] == u'$') {
        base = 16;
        ++i;
    } else if (i < n && (text[i] == u'x' || text[i] == u'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i == n)
        return std::nullopt;

    quint64 value = 0;
    for (; i < n; ++i) {
        const unsigned c = text[i].unicode();
        unsigned digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return std::nullopt;
        value = value * base + digit;
        if (value > 0xFFFFFFFFull)
            return std::nullopt;
    }

    if (base == 16) {
        // Negated as a 32-bit pattern: "-$80000000" is the lowest value, not an overflow.
        const auto pattern = static_cast<quint32>(value);
        return static_cast<qint32>(negative ? 0u - pattern : pattern);
    }
    if (negative) {
        if (value > 0x80000000ull)
            return std::nullopt;
        return static_cast<qint32>(-static_cast<qint64>(value));
    }
    if (value > 0x7FFFFFFFull)
        return std::nullopt;
    return static_cast<qint32>(value);
}

qint32 toWholeNumber(QStringView text, qint32 fallback) { return parseWholeNumber(text).value_or(fallback); }
