#include "base/TextTable.h"
#include "base/Conversions.h"
#include "base/Files.h"
#include "base/WholeNumber.h"
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

namespace {

struct BuiltinText {
    int index;
    const char16_t* text;
};

constexpr BuiltinText builtinTexts[] = {
#include "base/BuiltinTextsShell.inc"
#include "base/BuiltinTextsWindows.inc"
#include "base/BuiltinTextsCore.inc"
};

const std::array<QString, TextTable::size>& builtinTable()
{
    static const auto table = [] {
        std::array<QString, TextTable::size> t;
        t.fill(QStringLiteral(" "));
        for (const auto& entry : builtinTexts)
            t[static_cast<size_t>(entry.index)] = QString::fromUtf16(entry.text);
        return t;
    }();
    return table;
}

// The characters 0x80-0x9F of Windows-1252; the rest of the code page is Latin-1.
constexpr char16_t cp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122,
    0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

TextTable::TextTable() { defaultTexts(); }

void TextTable::defaultTexts() { texts = builtinTable(); }

QString TextTable::builtinText(int index) { return builtinTable()[static_cast<size_t>(index)]; }

namespace {

QString messageIn(const QString& text, const Result& result)
{
    if (result.textNumber < 0)
        return {};
    // Whether the values go into placeholders or follow the text is the built-in text's choice,
    // so that a translation that leaves out a placeholder does not move its value to the end.
    static const QRegularExpression placeholder(QStringLiteral("%[1-9]"));
    if (TextTable::builtinText(result.textNumber).contains(placeholder))
        return fillPlaceholders(text, result.args);
    return text + result.args.join(QString());
}

} // namespace

QString TextTable::message(const Result& result) const
{
    return messageIn(result.textNumber < 0 ? QString() : (*this)[result.textNumber], result);
}

QString englishMessage(const Result& result)
{
    return messageIn(result.textNumber < 0 ? QString() : TextTable::builtinText(result.textNumber), result);
}

QString decodeLanguageFile(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringDecoder::Utf16LE).decode(bytes.mid(2));
    if (bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16BE).decode(bytes.mid(2));
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        text[i] = QChar(b >= 0x80 && b < 0xA0 ? cp1252High[b - 0x80] : char16_t(b));
    }
    return text;
}

std::optional<LanguageLine> parseLanguageLine(const QString& rawLine)
{
    const QString line = stripBlanks(rawLine);
    if (!line.startsWith(QLatin1String("STR")))
        return std::nullopt;
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0)
        return std::nullopt;
    // The index runs from after "STR" up to two characters before "=": the character just
    // before "=" never belongs to it (files are written "STR0013 = text").
    const qsizetype indexLength = equals - 1 - 3;
    const auto index = parseWholeNumber(stripBlanks(line.mid(3, indexLength < 0 ? 0 : indexLength)));
    if (!index || *index < 0 || *index >= TextTable::size)
        return std::nullopt;
    QString text = stripBlanks(QStringView(line).mid(equals + 1));
    if (text.isEmpty())
        return std::nullopt;
    if (const qsizetype comment = text.indexOf(QLatin1String("/#/")); comment >= 0) {
        text = stripBlanks(QStringView(text).left(comment));
        // A text that is only a comment sets nothing, like an empty one.
        if (text.isEmpty())
            return std::nullopt;
    }
    if (text.startsWith(u'\u00B6'))
        text.remove(0, 1);
    if (const qsizetype pilcrow = text.indexOf(u'\u00B6'); pilcrow >= 0)
        text.truncate(pilcrow);
    return LanguageLine{*index, text};
}

bool TextTable::readLanguageFile(const QString& path, const ReadLimit& limit)
{
    QByteArray bytes;
    if (!readWholeFile(path, bytes, limit))
        return false;
    applyLanguageFile(bytes);
    return true;
}

void TextTable::applyLanguageFile(const QByteArray& bytes)
{
    const QString content = decodeLanguageFile(bytes);
    const QStringView text(content);
    qsizetype start = 0;
    // Line breaks are CR LF, CR or LF.
    for (int lines = 0; lines < maxLines && start <= text.size(); ++lines) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        if (end - start <= maxLineLength)
            if (const auto parsed = parseLanguageLine(text.mid(start, end - start).toString()))
                set(parsed->index, parsed->text);
        start = end + (end + 1 < text.size() && text[end] == u'\r' && text[end + 1] == u'\n' ? 2 : 1);
    }
}

void TextTable::loadLanguage(const QString& languageFolder, QString& languageName)
{
    defaultTexts();
    // A file that exists but cannot be read counts as missing.
    const QString path = joinPath(languageFolder, languageName + QStringLiteral(".lng"));
    if (QFileInfo(path).isFile() && readLanguageFile(path))
        return;
    defaultTexts();
    languageName = QStringLiteral("English");
    const QString english = joinPath(languageFolder, QStringLiteral("English.lng"));
    if (QFileInfo(english).isFile() && !readLanguageFile(english))
        defaultTexts();
}
