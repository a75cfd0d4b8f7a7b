#include "LanguageTemplate.h"
#include "TestSupport.h"
#include "TextTable.h"
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <map>

namespace {

bool Has_Builtin_Text(int index) { return TText_Table::Builtin_Text(index) != QLatin1String(" "); }

// Every line of a language file that sets a text, in file order (later lines win).
std::map<int, QString> Entries_Of(const QByteArray& file)
{
    std::map<int, QString> entries;
    for (const QString& line : Decode_Language_File(file).split(QRegularExpression(QStringLiteral("\r\n|\r|\n"))))
        if (const auto parsed = Parse_Language_Line(line))
            entries[parsed->Index] = parsed->Text;
    return entries;
}

} // namespace

TEST(LanguageFiles, EnglishTemplateSetsExactlyEveryBuiltinText)
{
    QTemporaryDir dir;
    Write_Test_File(dir.filePath("English.lng"), English_Language_Template());
    TText_Table t;
    for (int i = 0; i < TText_Table::Size; ++i)
        t.Set(i, QStringLiteral("#"));
    ASSERT_TRUE(t.Read_Language_File(dir.filePath("English.lng")));
    for (int i = 0; i < TText_Table::Size; ++i)
        EXPECT_EQ(t[i], Has_Builtin_Text(i) ? TText_Table::Builtin_Text(i) : QStringLiteral("#")) << "entry " << i;
}

TEST(LanguageFiles, ItalianoTranslatesEveryBuiltinText)
{
    const QByteArray file = Read_Test_File(QStringLiteral(SWQ_LANGUAGE_DATA_DIR "/Italiano.lng"));
    ASSERT_FALSE(file.isEmpty());
    const std::map<int, QString> entries = Entries_Of(file);
    for (int i = 0; i < TText_Table::Size; ++i) {
        const QString english = TText_Table::Builtin_Text(i);
        const auto found = entries.find(i);
        if (!Has_Builtin_Text(i)) {
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
    Write_Test_File(dir.filePath("Italiano.lng"), file);
    TText_Table t;
    QString name = QStringLiteral("Italiano");
    t.Load_Language(dir.path(), name);
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
    EXPECT_EQ(Read_Test_File(dir.filePath("English.lng")), English_Language_Template());
    for (const char* flag : {"English.bmp", "Italiano.bmp", "DefaultFlag.bmp"}) {
        const QImage image(dir.filePath(flag));
        EXPECT_EQ(image.size(), QSize(48, 48)) << flag;
    }
    EXPECT_NE(QImage(dir.filePath("English.bmp")), QImage(dir.filePath("Italiano.bmp")));
}
