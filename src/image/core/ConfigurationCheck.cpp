#include "image/core/ConfigurationCheck.h"
#include "comm/core/CommunicationSettings.h"
#include "access/core/AccessModelCheck.h"
#include "access/core/AccessValidation.h"
#include "access/core/Catalog.h"
#include "access/core/DataArray.h"
#include "base/TextNumbers.h"
#include "base/TextTable.h"
#include "configuration/core/ConfigurationPaths.h"
#include <QFileInfo>
#include <QStringList>

namespace Image {

namespace {

// An entry without a usable position is already an error of the row checks.
Problems dataArrayProblems(const AccessFileModel& model, const TextTable& texts)
{
    Occupancy occupancy;
    computeOccupancy(arrayEntries(model), occupancy);
    Problems problems;
    for (const ArrayProblem& p : occupancy.problems)
        if (p.kind != ArrayProblem::NoPosition)
            problems.push_back({p.kind == ArrayProblem::Overlap ? Problem::Severity::Warning : Problem::Severity::Error, {}, {},
                {}, problemMessage(p, texts)});
    return problems;
}

void addFrom(Problems& problems, Problems found, const QString& path)
{
    for (Problem& p : found) {
        p.file = QFileInfo(path).fileName();
        problems.push_back(std::move(p));
    }
}

} // namespace

Problems checkConfiguration(const ConfigurationPaths& configuration, QChar decimalSeparator, const TextTable& texts)
{
    const QString parGenFile = configuration.communicationFile();
    const QString accessFile = configuration.accessFile();
    Problems problems;
    // Without ParGen.xml the parameter block keeps its initial values, not the settings
    // window's defaults: no IEC 61850 address, port 10001, no EtherNet/IP bytes. The device
    // could talk to no server and hand nothing to the PLC, so it is an error.
    if (!QFileInfo::exists(parGenFile))
        addFrom(problems, {{Problem::Severity::Error, {}, {}, {}, Result::failed(Text::ErrorParGenNeverSaved)}}, parGenFile);
    else if (CommunicationSettings set; readParGenFile(parGenFile, set))
        addFrom(problems, communicationProblems(set), parGenFile);
    if (AccessFileModel model; readAccessFileModel(accessFile, model)) {
        // Empty request tables are what the device gets then, and it works with them (the
        // network settings alone may be what is to be sent): a warning.
        if (model.variables.empty() && model.dataSets.empty())
            addFrom(
                problems, {{Problem::Severity::Warning, {}, {}, {}, Result::failed(Text::WarningAccessListEmpty)}}, accessFile);
        addFrom(problems, checkAccessRows(model, decimalSeparator, texts), accessFile);
        addFrom(problems, checkRowsAgainstCatalog(model, configuration.catalogFolder(), texts), accessFile);
        addFrom(problems, dataArrayProblems(model, texts), accessFile);
    }
    return problems;
}

QString buildAnywayQuestion(const Problems& problems, const TextTable& texts)
{
    constexpr size_t shown = 20; // the box must still fit the screen
    QStringList lines{texts[Text::ProblemsFound]};
    for (size_t i = 0; i < problems.size() && i < shown; ++i)
        lines << problems[i].line(texts);
    if (problems.size() > shown)
        lines << QStringLiteral("...");
    lines << QString() << texts[Text::QuestionBuildAnyway];
    return lines.join(u'\n');
}

} // namespace Image
