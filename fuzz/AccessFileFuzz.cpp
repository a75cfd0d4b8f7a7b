// Any bytes as the access file IEC_61850_Client.xml, beside a catalog holding one small
// device under the names the seeds use: loading gives an error or a list, never a crash, and
// the warnings of loading can be put into words.
#include "FuzzFile.h"
#include "base/TextTable.h"
#include "access/core/AccessFile.h"
#include "access/core/Catalog.h"
#include "configuration/core/ConfigurationPaths.h"

namespace {
QString catalog;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    catalog = ConfigurationPaths(fuzzFolder("access")).catalogFolder();
    QDir().mkpath(catalog);
    for (const char* name : {"A.icd", "B.icd", "Access_Window.icd"})
        QFile::copy(QStringLiteral(SWQ_SOURCE_DIR "/tests/fixtures/access/Access_Window.icd"),
            catalog + u'/' + QString::fromLatin1(name));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const TextTable texts;
    const QString path = writeFuzzInput("access", QStringLiteral("IEC_61850_Client.xml"), data, size);
    AccessList access;
    AccessFileReport report;
    loadAccessFile(path, catalog, access, report);
    report.missingFilesWarning(texts);
    report.unreadableFilesWarning(texts);
    report.unmatchedMembersWarning(texts);
    return 0;
}
