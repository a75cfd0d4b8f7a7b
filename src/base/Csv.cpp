#include "base/Csv.h"
#include "base/TextNumbers.h"
#include "base/TextTable.h"
#include <QByteArrayView>

namespace {

bool needsQuotes(const QString& value, QChar separator)
{
    for (QChar c : value)
        if (c == separator || c == u'"' || c == u'\n' || c == u'\r')
            return true;
    return false;
}

// A file's text as the parser walks it: UTF-8 bytes, which are decoded value by value, or
// UTF-16 code units of a file decoded beforehand.
struct Utf8Units {
    using Unit = char;
    using Buffer = QByteArray;
    static constexpr const char* name = "UTF-8";
    static bool valid(const QByteArray& value) { return QByteArrayView(value).isValidUtf8(); }
    static QString decode(const QByteArray& value) { return QString::fromUtf8(value); }
    static void add(QByteArray& value, char c) { value.append(c); }
};

struct Utf16Units {
    using Unit = char16_t;
    using Buffer = QString;
    static constexpr const char* name = "UTF-16";
    static bool valid(const QString& value) { return value.isValidUtf16(); }
    static QString decode(const QString& value) { return value; }
    static void add(QString& value, char16_t c) { value.append(QChar(c)); }
};

// The separator of the header line: the candidate found most often outside quotes.
template <typename Unit> QChar detectSeparator(const Unit* text, const Unit* end)
{
    int semicolons = 0, commas = 0, tabs = 0;
    bool inQuotes = false;
    for (; text != end; ++text) {
        const Unit c = *text;
        if (c == '"')
            inQuotes = !inQuotes;
        else if (inQuotes)
            continue;
        else if (c == '\n' || c == '\r')
            break;
        else if (c == ';')
            ++semicolons;
        else if (c == ',')
            ++commas;
        else if (c == '\t')
            ++tabs;
    }
    if (semicolons > 0 && semicolons >= commas && semicolons >= tabs)
        return u';';
    return tabs > commas ? u'\t' : u',';
}

template <typename Units> class Parser {
    using Unit = typename Units::Unit;

public:
    Parser(const Unit* begin, const Unit* end, const CsvRecordHandler& handler)
        : text(begin)
        , size(end - begin)
        , onRecord(handler)
    {
    }

    Result run(QChar& separatorFound)
    {
        const QChar separatorChar = detectSeparator(text, text + size);
        separatorFound = separatorChar;
        const auto separator = static_cast<Unit>(separatorChar.unicode());
        int quoteLine = 0;
        bool inQuotes = false;
        for (qsizetype i = 0; i < size; ++i) {
            const Unit c = text[i];
            const bool lineBreak = c == '\n' || c == '\r';
            const bool crLf = c == '\r' && i + 1 < size && text[i + 1] == '\n';
            if (inQuotes) {
                if (c != '"') {
                    Units::add(field, c);
                    if (crLf)
                        Units::add(field, text[++i]);
                    if (lineBreak)
                        ++line;
                } else if (i + 1 < size && text[i + 1] == '"')
                    Units::add(field, text[++i]);
                else
                    inQuotes = false;
            } else if (c == '"' && field.isEmpty() && !quotedField) {
                inQuotes = quotedField = true;
                quoteLine = line;
            } else if (c == separator) {
                if (Result r = endField(); !r)
                    return r;
            } else if (lineBreak) {
                if (crLf)
                    ++i;
                if (Result r = endRecord(); !r)
                    return r;
                ++line;
                record.line = fieldLine = line;
            } else
                Units::add(field, c);
        }
        if (inQuotes)
            return Result::failed(Text::ErrorCsvQuoteNotClosed, {QString::number(quoteLine)});
        if (!field.isEmpty() || !record.fields.isEmpty() || quotedField)
            return endRecord();
        return Result::success();
    }

private:
    Result refused(int textNo, const QStringList& args) const
    {
        return Result::failed(textNo, QStringList{QString::number(fieldLine), QString::number(record.fields.size() + 1)} + args);
    }

    Result endField()
    {
        if (!Units::valid(field))
            return refused(Text::ErrorCsvEncoding, {QLatin1String(Units::name)});
        QString value = Units::decode(field);
        for (QChar c : value)
            if (isForbiddenCharacter(c.unicode()))
                return refused(Text::ErrorCsvCharacter, {characterName(c.unicode())});
        record.fields << std::move(value);
        field.clear();
        quotedField = false;
        fieldLine = line;
        return Result::success();
    }

    Result endRecord()
    {
        const bool quoted = quotedField;
        if (Result r = endField(); !r)
            return r;
        // A line with nothing on it is no record; a line of empty fields is.
        Result handled;
        if (record.fields.size() > 1 || !record.fields[0].isEmpty() || quoted)
            handled = onRecord(record);
        record.fields.clear();
        return handled;
    }

    const Unit* text;
    qsizetype size;
    const CsvRecordHandler& onRecord;
    int line = 1;
    int fieldLine = 1;
    CsvRecord record{1, {}};
    typename Units::Buffer field;
    bool quotedField = false;
};

// The code units of a UTF-16 file after its byte-order mark; an odd last byte becomes a lone
// surrogate, which the check of its value refuses.
QString utf16Units(const QByteArray& bytes, bool littleEndian)
{
    const qsizetype units = (bytes.size() - 2 + 1) / 2;
    QString text(units, Qt::Uninitialized);
    for (qsizetype i = 0; i < units; ++i) {
        const qsizetype at = 2 + 2 * i;
        if (at + 1 >= bytes.size()) {
            text[i] = QChar(char16_t(0xD800));
            break;
        }
        const auto first = static_cast<unsigned char>(bytes[at]), second = static_cast<unsigned char>(bytes[at + 1]);
        text[i] = QChar(littleEndian ? char16_t(first | second << 8) : char16_t(first << 8 | second));
    }
    return text;
}

template <typename Units>
Result parse(const typename Units::Unit* begin, qsizetype size, QChar& separator, const CsvRecordHandler& onRecord)
{
    return Parser<Units>(begin, begin + size, onRecord).run(separator);
}

Result parseText(const QString& text, QChar& separator, const CsvRecordHandler& onRecord)
{
    return parse<Utf16Units>(reinterpret_cast<const char16_t*>(text.utf16()), text.size(), separator, onRecord);
}

} // namespace

QChar csvSeparatorFor(QChar decimalSeparator) { return decimalSeparator == u',' ? u';' : u','; }

bool isForbiddenCharacter(char16_t c)
{
    return (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || (c >= 0x7F && c < 0xA0) || c == 0xFFFE || c == 0xFFFF;
}

QString characterName(char16_t c) { return QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper(); }

CsvWriter::CsvWriter(QChar separatorChar)
    : separator(separatorChar)
    , separatorBytes(QString(separatorChar).toUtf8())
    , data("\xEF\xBB\xBF")
{
}

void CsvWriter::addRecord(const QStringList& record)
{
    for (qsizetype i = 0; i < record.size(); ++i) {
        if (i > 0)
            data += separatorBytes;
        const QString& value = record[i];
        if (needsQuotes(value, separator)) {
            QString text = value;
            text.replace(QStringLiteral("\""), QStringLiteral("\"\""));
            data += '"' + text.toUtf8() + '"';
        } else
            data += value.toUtf8();
    }
    data += "\r\n";
}

QByteArray writeCsv(const std::vector<QStringList>& records, QChar separator)
{
    CsvWriter writer(separator);
    for (const QStringList& record : records)
        writer.addRecord(record);
    return writer.take();
}

Result readCsv(const QByteArray& bytes, QChar& separator, const CsvRecordHandler& onRecord)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return parse<Utf8Units>(bytes.constData() + 3, bytes.size() - 3, separator, onRecord);
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return parseText(utf16Units(bytes, bytes.startsWith("\xFF\xFE")), separator, onRecord);
    if (QByteArrayView(bytes).isValidUtf8())
        return parse<Utf8Units>(bytes.constData(), bytes.size(), separator, onRecord);
    return parseText(decodeLanguageFile(bytes), separator, onRecord);
}

Result readCsv(const QByteArray& bytes, CsvTable& table)
{
    table.records.clear();
    return readCsv(bytes, table.separator, [&table](const CsvRecord& record) {
        table.records.push_back(record);
        return Result::success();
    });
}
