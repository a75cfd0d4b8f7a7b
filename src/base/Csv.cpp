#include "base/Csv.h"
#include "base/TextNumbers.h"
#include "base/TextTable.h"
#include <QStringDecoder>

namespace {

QString quoted(const QString& value, QChar separator)
{
    const bool quote = value.contains(separator) || value.contains(u'"') || value.contains(u'\n') || value.contains(u'\r');
    if (!quote)
        return value;
    QString text = value;
    text.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + text + u'"';
}

QString decode(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return decodeLanguageFile(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? decodeLanguageFile(bytes) : text;
}

// The separator of the header line: the candidate found most often outside quotes.
QChar detectSeparator(QStringView text)
{
    int semicolons = 0, commas = 0, tabs = 0;
    bool inQuotes = false;
    for (QChar c : text) {
        if (c == u'"')
            inQuotes = !inQuotes;
        else if (inQuotes)
            continue;
        else if (c == u'\n' || c == u'\r')
            break;
        else if (c == u';')
            ++semicolons;
        else if (c == u',')
            ++commas;
        else if (c == u'\t')
            ++tabs;
    }
    if (semicolons > 0 && semicolons >= commas && semicolons >= tabs)
        return u';';
    return tabs > commas ? u'\t' : u',';
}

} // namespace

QChar csvSeparatorFor(QChar decimalSeparator) { return decimalSeparator == u',' ? u';' : u','; }

QByteArray writeCsv(const std::vector<QStringList>& records, QChar separator)
{
    QString text;
    for (const QStringList& record : records) {
        for (qsizetype i = 0; i < record.size(); ++i) {
            if (i > 0)
                text += separator;
            text += quoted(record[i], separator);
        }
        text += QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

Result readCsv(const QByteArray& bytes, CsvTable& table)
{
    const QString text = decode(bytes);
    table.records.clear();
    table.separator = detectSeparator(text);

    int line = 1;
    CsvRecord record{line, {}};
    QString field;
    bool inQuotes = false, quotedField = false;
    int quoteLine = 0;
    const auto endRecord = [&] {
        record.fields << field;
        // A line with nothing on it is no record; a line of empty fields is.
        if (record.fields.size() > 1 || !record.fields[0].isEmpty() || quotedField)
            table.records.push_back(std::move(record));
        record = CsvRecord{line, {}};
        field.clear();
        quotedField = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool lineBreak = c == u'\n' || c == u'\r';
        if (lineBreak) {
            // CR LF, CR or LF: one line break.
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            ++line;
        }
        if (inQuotes) {
            if (c != u'"')
                field += lineBreak ? QChar(u'\n') : c;
            else if (i + 1 < text.size() && text[i + 1] == u'"')
                field += text[++i];
            else
                inQuotes = false;
        } else if (c == u'"' && field.isEmpty() && !quotedField) {
            inQuotes = quotedField = true;
            quoteLine = line;
        } else if (c == table.separator) {
            record.fields << field;
            field.clear();
            quotedField = false;
        } else if (lineBreak)
            endRecord();
        else
            field += c;
    }
    if (inQuotes)
        return Result::failed(Text::ErrorCsvQuoteNotClosed, {QString::number(quoteLine)});
    if (!field.isEmpty() || !record.fields.isEmpty() || quotedField)
        endRecord();
    return Result::success();
}
