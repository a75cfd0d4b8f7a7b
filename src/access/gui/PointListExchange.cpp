#include "access/gui/PointListExchange.h"
#include "base/Conversions.h"
#include "base/Files.h"
#include "base/TextNumbers.h"
#include "base/gui/AppContext.h"
#include "access/core/PointList.h"

namespace PointListExchange {

namespace {

QChar decimalSeparator(AppContext& context) { return decimalSeparatorOf(context.platform.locale->decimalSeparator()); }

} // namespace

void exportFile(const AccessList& access, AppContext& context)
{
    const QString file
        = context.platform.fileDialog->saveFile(context.texts[Text::ExportCsv], context.state.configurationFolder, csvFileFilter);
    if (!file.isEmpty())
        context.report(writePointList(file, exportPointList(access, decimalSeparator(context))));
}

bool importFile(AccessList& access, AppContext& context)
{
    const QString file
        = context.platform.fileDialog->openFile(context.texts[Text::ImportCsv], context.state.configurationFolder, csvFileFilter);
    if (file.isEmpty())
        return false;
    QByteArray bytes;
    PointListImport import;
    if (!context.report(readWholeFile(file, bytes, pointListFileLimit))
        || !context.report(readPointList(bytes, access, decimalSeparator(context), context.texts, import)))
        return false;

    const TextTable& t = context.texts;
    const auto unusableLines = [&] {
        constexpr qsizetype shown = 20;
        QStringList lines = import.unusable.mid(0, shown);
        if (import.unusable.size() > shown)
            lines << t[Text::ArrayMoreProblems].arg(import.unusable.size() - shown);
        return t[Text::QuestionImportSomeLines].arg(import.usable()).arg(import.lines) + u'\n' + lines.join(u'\n');
    };
    QString question = t[Text::QuestionReplaceRows].arg(import.lines);
    if (import.usable() == 0) {
        // Nothing to import is far more often a wrong file than the wish for an empty list.
        question = (import.lines == 0 ? t[Text::ImportNoLines] : unusableLines() + u'\n' + t[Text::ImportNoUsableLine]) + u'\n'
            + t[Text::QuestionEmptyAccessList];
    } else if (!import.unusable.isEmpty())
        question = unusableLines() + u'\n' + t[Text::QuestionReplaceWithUsable];
    if (!context.platform.messages->askYesNo(question))
        return false;
    applyPointList(access, import);
    return true;
}

} // namespace PointListExchange
