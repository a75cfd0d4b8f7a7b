#include "access/core/AccessModelCheck.h"
#include "configuration/core/ConfigurationPaths.h"
#include "access/core/AccessFile.h"
#include "access/core/Catalog.h"
#include "base/TextNumbers.h"
#include "base/TextTable.h"

namespace {

using namespace AccessItem;

// Adds the errors of one row, worded as the row checks word theirs.
class RowErrors {
public:
    RowErrors(Problems& into, const TextTable& table, const QString& where, int prefixText, const QString& prefixArgument)
        : problems(into)
        , texts(table)
        , row(where)
        , prefix(prefixText)
        , prefixArg(prefixArgument)
    {
    }

    void add(const char* column, int textNo, const QStringList& args) const
    {
        problems.push_back({Problem::Severity::Error, {}, row, QLatin1String(column),
            Result::failed(prefix, {prefixArg + fillPlaceholders(texts[textNo], args)})});
    }

    // The device at `index`, or null after adding the error that says why the row cannot
    // reach its model.
    const Ied* device(const StoredAttribute& index, const std::vector<std::unique_ptr<Ied>>& devices) const
    {
        const qint32 i = index.numberOr(-1);
        if (i < 0 || i >= static_cast<qint32>(devices.size()) || !devices[static_cast<size_t>(i)]) {
            add("Index", Text::ErrorRowNoDevice, {index.text});
            return nullptr;
        }
        const Ied& ied = *devices[static_cast<size_t>(i)];
        if (!ied.fileMissing)
            return &ied;
        if (ied.fileError.isEmpty())
            add("Index", Text::ErrorRowDeviceFileMissing, {ied.fileName, ied.name, ConfigurationPaths::catalogFolderName});
        else
            add("Index", Text::ErrorRowDeviceFileUnreadable, {ied.fileName, ied.name, ied.fileError});
        return nullptr;
    }

private:
    Problems& problems;
    const TextTable& texts;
    QString row;
    int prefix;
    QString prefixArg;
};

// The first place where the stored members differ from the model's, as loading compares them
// (bType and reference at each position), and a data set of fewer members than its model.
void checkMembers(const StoredDataSet& item, const DataSet& dataSet, const RowErrors& errors)
{
    const std::vector<StoredMember>& stored = item.members;
    const std::vector<DataAttribute*>& members = dataSet.attributes;
    // No member at all is the row checks' error already.
    if (stored.empty())
        return;
    for (size_t i = 0; i < std::max(stored.size(), members.size()); ++i) {
        const QString number = QString::number(i + 1);
        if (i >= members.size()) {
            errors.add(
                "DataSet_List_DAs", Text::ErrorMembersTooMany, {QString::number(members.size()), QString::number(stored.size())});
            return;
        }
        const DataAttribute& member = *members[i];
        if (i >= stored.size()) {
            errors.add("DataSet_List_DAs", Text::ErrorMemberMissing, {number, member.bType, member.reference});
            return;
        }
        const StoredMember& m = stored[i];
        if (m[MBType].text != member.bType || m[MReference].text != member.reference) {
            errors.add("DataSet_List_DAs", Text::ErrorMemberNotAsInModel,
                {number, member.bType, member.reference, m[MBType].text, m[MReference].text});
            return;
        }
    }
}

} // namespace

Problems checkRowsAgainstModels(
    const AccessFileModel& model, const std::vector<std::unique_ptr<Ied>>& devices, const TextTable& texts)
{
    Problems problems;
    for (size_t i = 0; i < model.variables.size(); ++i) {
        const StoredVariable& item = model.variables[i];
        if (item[BType].text.isEmpty())
            continue;
        const QString row = QString::number(i + 1);
        const RowErrors errors(problems, texts, fillPlaceholders(texts[Text::ProblemRow], {row}), Text::ErrorRow, row);
        errors.device(item[Index], devices);
    }
    for (size_t i = 0; i < model.dataSets.size(); ++i) {
        const StoredDataSet& item = model.dataSets[i];
        const QString row = QString::number(i + 1);
        const RowErrors errors(
            problems, texts, fillPlaceholders(texts[Text::ProblemDataSetRow], {row}), Text::ErrorDataSetRow, row);
        const Ied* device = errors.device(item[DsIndex], devices);
        if (!device)
            continue;
        const DataSet* dataSet = findDataSet(*device, item[DsReference].text);
        if (!dataSet)
            errors.add("Reference", Text::ErrorDataSetNotInModel, {item[DsReference].text, device->name});
        else
            checkMembers(item, *dataSet, errors);
    }
    return problems;
}

Problems checkRowsAgainstCatalog(const AccessFileModel& model, const QString& catalogFolder, const TextTable& texts)
{
    // Only the models that rows use are read: a large station file nobody uses costs nothing.
    std::vector<bool> used(model.devices.size(), false);
    const auto use = [&used](const StoredAttribute& index) {
        const qint32 i = index.numberOr(-1);
        if (i >= 0 && i < static_cast<qint32>(used.size()))
            used[static_cast<size_t>(i)] = true;
    };
    for (const StoredVariable& item : model.variables)
        if (!item[BType].text.isEmpty())
            use(item[Index]);
    for (const StoredDataSet& item : model.dataSets)
        use(item[DsIndex]);
    std::vector<std::unique_ptr<Ied>> devices;
    AccessFileReport report;
    readCatalogDevices(model.devices, catalogFolder, devices, report, [&used](size_t i) { return used[i]; });
    Problems problems = checkRowsAgainstModels(model, devices, texts);
    giveBackDevices(devices);
    return problems;
}
