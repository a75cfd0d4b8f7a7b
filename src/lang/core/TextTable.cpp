#include "TextTable.h"
#include "Common.h"
#include "Files.h"
#include "WholeNumber.h"
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

namespace {

struct TBuiltin_Text {
    int Index;
    const char16_t* Text;
};

constexpr TBuiltin_Text Builtin_Texts[] = {
#include "BuiltinTexts_Shell.inc"
#include "BuiltinTexts_Windows.inc"
};

const std::array<QString, TText_Table::Size>& Builtin_Table()
{
    static const auto table = [] {
        std::array<QString, TText_Table::Size> t;
        t.fill(QStringLiteral(" "));
        for (const auto& entry : Builtin_Texts)
            t[static_cast<size_t>(entry.Index)] = QString::fromUtf16(entry.Text);
        return t;
    }();
    return table;
}

// The characters 0x80-0x9F of Windows-1252; the rest of the code page is Latin-1.
constexpr char16_t Cp1252_High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

TText_Table::TText_Table() { Default_Texts(); }

void TText_Table::Default_Texts() { Texts = Builtin_Table(); }

QString TText_Table::Builtin_Text(int index) { return Builtin_Table()[static_cast<size_t>(index)]; }

QString Decode_Language_File(const QByteArray& bytes)
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
        text[i] = QChar(b >= 0x80 && b < 0xA0 ? Cp1252_High[b - 0x80] : char16_t(b));
    }
    return text;
}

std::optional<TLanguage_Line> Parse_Language_Line(const QString& rawLine)
{
    const QString line = Strip_Blanks(rawLine);
    if (!line.startsWith(QLatin1String("STR")))
        return std::nullopt;
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0)
        return std::nullopt;
    // The index runs from after "STR" up to two characters before "=": the character just
    // before "=" never belongs to it (files are written "STR0013 = text").
    const qsizetype indexLength = equals - 1 - 3;
    const auto index = Parse_Whole_Number(Strip_Blanks(line.mid(3, indexLength < 0 ? 0 : indexLength)));
    if (!index || *index < 0 || *index >= TText_Table::Size)
        return std::nullopt;
    QString text = Strip_Blanks(QStringView(line).mid(equals + 1));
    if (text.isEmpty())
        return std::nullopt;
    if (const qsizetype comment = text.indexOf(QLatin1String("/#/")); comment >= 0) {
        text = Strip_Blanks(QStringView(text).left(comment));
        // A text that is only a comment sets nothing, like an empty one.
        if (text.isEmpty())
            return std::nullopt;
    }
    if (text.startsWith(u'\u00B6'))
        text.remove(0, 1);
    if (const qsizetype pilcrow = text.indexOf(u'\u00B6'); pilcrow >= 0)
        text.truncate(pilcrow);
    return TLanguage_Line{*index, text};
}

bool TText_Table::Read_Language_File(const QString& path)
{
    QByteArray bytes;
    if (!Read_Whole_File(path, bytes))
        return false;
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    const QString content = Decode_Language_File(bytes);
    for (const QString& line : content.split(lineBreak))
        if (const auto parsed = Parse_Language_Line(line))
            Set(parsed->Index, parsed->Text);
    return true;
}

void TText_Table::Load_Language(const QString& languageFolder, QString& languageName)
{
    Default_Texts();
    // A file that exists but cannot be read counts as missing.
    const QString path = Join_Path(languageFolder, languageName + QStringLiteral(".lng"));
    if (QFileInfo(path).isFile() && Read_Language_File(path))
        return;
    Default_Texts();
    languageName = QStringLiteral("English");
    const QString english = Join_Path(languageFolder, QStringLiteral("English.lng"));
    if (QFileInfo(english).isFile() && !Read_Language_File(english))
        Default_Texts();
}
