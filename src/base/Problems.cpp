#include "base/Problems.h"
#include "base/TextTable.h"
#include <QStringList>
#include <algorithm>

QString Problem::line(const TextTable& texts) const
{
    QStringList parts;
    for (const QString& part : {file, where, column, texts.message(what)})
        if (!part.isEmpty())
            parts << part;
    const QString text = parts.join(QStringLiteral(": "));
    return severity == Severity::Warning ? QStringLiteral("warning: ") + text : text;
}

bool hasErrors(const Problems& problems)
{
    return std::any_of(problems.begin(), problems.end(), [](const Problem& p) { return p.severity == Problem::Severity::Error; });
}
