#include "lang/core/LanguageTemplate.h"
#include "support/TestSupport.h"
#include "base/TextTable.h"
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <map>

namespace {

bool hasBuiltinText(int index) { return TextTable::builtinText(index) != QLatin1String(" "); }

// Every line of a language file that sets a text, in file order (later lines win).
std::map<int, QString> entriesOf(const QByteArray& file)
{
    std::map<int, QString> entries;
    for (const QString& line : decodeLanguageFile(file).split(QRegularExpression(QStringLiteral("\r\n|\r|\n"))))
        if (const auto parsed = parseLanguageLine(line))
            entries[parsed->index] = parsed->text;
    return entries;
}

} // namespace

TEST(LanguageFiles, EnglishTemplateSetsExactlyEveryBuiltinText)
{
    QTemporaryDir dir;
    writeTestFile(dir.filePath("English.lng"), englishLanguageTemplate());
    TextTable t;
    for (int i = 0; i < TextTable::size; ++i)
        t.set(i, QStringLiteral("#"));
    ASSERT_TRUE(t.readLanguageFile(dir.filePath("English.lng")));
    for (int i = 0; i < TextTable::size; ++i)
        EXPECT_EQ(t[i], hasBuiltinText(i) ? TextTable::builtinText(i) : QStringLiteral("#")) << "entry " << i;
}

TEST(LanguageFiles, ItalianoTranslatesEveryBuiltinText)
{
    const QByteArray file = readTestFile(QStringLiteral(SWQ_LANGUAGE_DATA_DIR "/Italiano.lng"));
    ASSERT_FALSE(file.isEmpty());
    const std::map<int, QString> entries = entriesOf(file);
    for (int i = 0; i < TextTable::size; ++i) {
        const QString english = TextTable::builtinText(i);
        const auto found = entries.find(i);
        if (!hasBuiltinText(i)) {
            EXPECT_EQ(found, entries.end()) << "entry " << i << " has no English text";
            continue;
        }
        ASSERT_NE(found, entries.end()) << "entry " << i << " missing: " << english.toStdString();
        const QString& italian = found->second;
        EXPECT_FALSE(italian.trimmed().isEmpty()) << "entry " << i;
        // Texts joined with others keep their blanks at the same ends ("Page " + number).
        EXPECT_EQ(italian.startsWith(u' '), english.startsWith(u' ')) << "entry " << i;
        EXPECT_EQ(italian.endsWith(u' '), english.endsWith(u' ')) << "entry " << i;
    }

    // And through the program's own loading.
    QTemporaryDir dir;
    writeTestFile(dir.filePath("Italiano.lng"), file);
    TextTable t;
    QString name = QStringLiteral("Italiano");
    t.loadLanguage(dir.path(), name);
    EXPECT_EQ(name, "Italiano");
    EXPECT_EQ(t[0], "Inizio");
    EXPECT_EQ(t[105], u"Errore! Il nome del progetto non \u00E8 valido"_qs);
    EXPECT_EQ(t[305], "Pagina ");
}

TEST(LanguageFiles, BuildToolWritesTemplateAndFlags)
{
    QTemporaryDir dir;
    QProcess tool;
    tool.start(QStringLiteral(SWQ_MAKE_LANGUAGE_FOLDER), {dir.path()});
    ASSERT_TRUE(tool.waitForFinished(30000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    EXPECT_EQ(readTestFile(dir.filePath("English.lng")), englishLanguageTemplate());
    for (const char* flag : {"English.bmp", "Italiano.bmp", "DefaultFlag.bmp"}) {
        const QImage image(dir.filePath(flag));
        EXPECT_EQ(image.size(), QSize(48, 48)) << flag;
    }
    EXPECT_NE(QImage(dir.filePath("English.bmp")), QImage(dir.filePath("Italiano.bmp")));
}
