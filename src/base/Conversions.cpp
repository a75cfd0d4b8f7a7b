#include "base/Conversions.h"
#include "base/WholeNumber.h"
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>
#include <cmath>

QString stripBlanks(QStringView text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.mid(begin, end - begin).toString();
}

bool splitIpAddress(const QString& text, std::array<QString, 4>& parts)
{
    QString rest = stripBlanks(text);
    for (int i = 0; i < 3; ++i) {
        const qsizetype dot = rest.indexOf(u'.');
        if (dot < 0)
            return false;
        parts[static_cast<size_t>(i)] = stripBlanks(QStringView(rest).left(dot));
        rest = stripBlanks(QStringView(rest).mid(dot + 1));
    }
    parts[3] = rest;
    for (const QString& part : parts) {
        const qint32 value = toWholeNumber(part, 1000);
        if (value < 0 || value > 255)
            return false;
    }
    return true;
}

QString normalizedIpAddress(const QString& text)
{
    std::array<QString, 4> parts;
    if (!splitIpAddress(text, parts))
        return stripBlanks(text);
    return QStringList(parts.begin(), parts.end()).join(u'.');
}

QChar decimalSeparatorOf(const QString& systemSeparator)
{
    if (systemSeparator.startsWith(u',') || systemSeparator.startsWith(u'.'))
        return systemSeparator.front();
    return u',';
}

bool parseDecimal(const QString& text, QChar separator, float& value)
{
    // Both separators become the given one; the number is then read with that separator,
    // so the outcome does not depend on the process locale.
    QString normalized = text;
    normalized.replace(separator == u'.' ? u',' : u'.', separator);
    normalized.replace(separator, u'.');
    static const QRegularExpression number(QStringLiteral(R"(^\s*[+-]?(\d+(\.\d*)?|\.\d+)([eE][+-]?\d+)?\s*$)"));
    value = 1.0f;
    if (!number.match(normalized).hasMatch())
        return false;
    bool ok = false;
    const double d = QLocale::c().toDouble(normalized.trimmed(), &ok);
    if (!ok || !std::isfinite(d))
        return false;
    // The device holds single precision: what rounds to a finite float is that float, so the
    // largest value as it is usually printed ("3.4028235e38") is accepted.
    const float rounded = static_cast<float>(d);
    if (!std::isfinite(rounded))
        return false;
    value = rounded;
    return true;
}

int gridEnterJump(bool jumpEnabled, int key, int& col, int& row, int colCount, int rowCount)
{
    if (!jumpEnabled || key != enterKey)
        return key;
    if (col > 0 && row > 0) {
        if (col < colCount - 1)
            ++col;
        else {
            col = 1;
            row = row < rowCount - 1 ? row + 1 : 1;
        }
    }
    return 0;
}

bool gridAutoSizeColumn(bool autoSizeEnabled, int row) { return autoSizeEnabled && row == 0; }
