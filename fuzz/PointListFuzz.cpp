// Any bytes as a point list imported into an access list of one small device, with either
// decimal separator: the import gives an error or rows. Rows imported are what the engineer
// saves with OK, so the access file must take them, and reading it back must give every cell
// and every data set member unchanged, without a warning.
#include "FuzzFile.h"
#include "base/TextTable.h"
#include "access/core/AccessFile.h"
#include "access/core/Catalog.h"
#include "access/core/PointList.h"
#include "configuration/core/ConfigurationPaths.h"

namespace {

QString project;
QString catalog;

// What the access file keeps of an access list: both grids and each data set's members.
QStringList contentOf(const AccessList& access)
{
    QStringList cells;
    for (const StringGrid* grid : {&access.variableGrid, &access.dataSetGrid}) {
        cells << QString::number(grid->rowCount());
        for (int row = 1; row < grid->rowCount(); ++row)
            for (int col = 1; col < grid->colCount(); ++col)
                cells << grid->cell(col, row);
    }
    for (const auto& entry : access.dataSets) {
        cells << QString::number(entry->members.size());
        for (const auto& m : entry->members)
            cells << m->bType() << m->reference() << m->position << m->bitAddress << m->conversion << m->multFactor
                  << m->mnemonic;
    }
    return cells;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    project = fuzzFolder("pointlist");
    catalog = ConfigurationPaths(project).catalogFolder();
    QDir().mkpath(catalog);
    QFile::copy(QStringLiteral(SWQ_SOURCE_DIR "/tests/fixtures/access/Access_Window.icd"), catalog + QStringLiteral("/A.icd"));
    // The access list open when the engineer imports: the device, no rows yet.
    QFile empty(project + QStringLiteral("/Empty.xml"));
    fuzzExpect(empty.open(QIODevice::WriteOnly));
    empty.write("<IEC_68850_Client><List_ICD_Files><ICD_File Name=\"IED1\" FileName=\"A.icd\"/></List_ICD_Files>"
                "<List_DA_Selected/><List_DataSet_Selected/></IEC_68850_Client>");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const TextTable texts;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString saved = project + QStringLiteral("/IEC_61850_Client.xml");
    for (const QChar separator : {QChar(u','), QChar(u'.')}) {
        AccessList access;
        AccessFileReport report;
        fuzzExpect(bool(loadAccessFile(project + QStringLiteral("/Empty.xml"), catalog, access, report)));
        PointListImport import;
        if (!readPointList(bytes, access, separator, texts, import) || import.usable() == 0)
            continue;
        applyPointList(access, import);
        fuzzExpect(bool(saveAccessFile(access, saved)));

        AccessList reloaded;
        AccessFileReport reloadReport;
        fuzzExpect(bool(loadAccessFile(saved, catalog, reloaded, reloadReport)));
        fuzzExpect(reloadReport.missingFiles.isEmpty() && reloadReport.unreadableFiles.isEmpty()
            && reloadReport.unmatchedMembers.isEmpty());
        fuzzExpect(contentOf(reloaded) == contentOf(access));
    }
    return 0;
}
