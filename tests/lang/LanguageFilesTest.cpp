#include "lang/core/LanguageTemplate.h"
#include "support/TestSupport.h"
#include "base/CoreTexts.h"
#include "base/TextTable.h"
#include <QDirIterator>
#include <QImage>
#include <QSet>
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

QStringList placeholdersOf(const QString& text)
{
    QStringList found;
    for (const auto& match : QRegularExpression(QStringLiteral("%[1-9]")).globalMatch(text))
        found << match.captured();
    found.sort();
    found.removeDuplicates();
    return found;
}

// The number of every name of TextNumbers.h.
std::map<QString, int> textNumberNames()
{
    const QString header = QString::fromUtf8(readTestFile(QStringLiteral(SWQ_SOURCE_DIR "/base/TextNumbers.h")));
    std::map<QString, int> names;
    for (const auto& m : QRegularExpression(QStringLiteral("(\\w+) = (\\d+),")).globalMatch(header))
        names[m.captured(1)] = m.captured(2).toInt();
    return names;
}

} // namespace

TEST(LanguageFiles, CoreMessagesHaveEnglishAndItalianTexts)
{
    const std::map<int, QString> english = entriesOf(englishLanguageTemplate());
    const std::map<int, QString> italian = entriesOf(readTestFile(QStringLiteral(SWQ_LANGUAGE_DATA_DIR "/Italiano.lng")));
    for (const int number : Text::coreMessages) {
        const auto en = english.find(number);
        ASSERT_NE(en, english.end()) << "text " << number << " is not in the English template";
        EXPECT_EQ(en->second, TextTable::builtinText(number)) << "text " << number;
        const auto it = italian.find(number);
        ASSERT_NE(it, italian.end()) << "text " << number << " has no Italian translation";
        // A translation that drops or invents a placeholder loses a value or shows "%3".
        EXPECT_EQ(placeholdersOf(it->second), placeholdersOf(en->second)) << "text " << number;
    }

    // The core's sources name no text outside the list and build no message of their own.
    const std::map<QString, int> names = textNumberNames();
    ASSERT_GT(names.size(), 100u);
    const QSet<int> listed(std::begin(Text::coreMessages), std::end(Text::coreMessages));
    const QRegularExpression textName(QStringLiteral("Text::(\\w+)(?:\\s*\\+\\s*(\\d+))?"));
    const QRegularExpression coreFile(QStringLiteral("/(base|[a-z0-9]+/core)/[^/]+\\.(cpp|h)$"));
    int files = 0;
    for (QDirIterator it(QStringLiteral(SWQ_SOURCE_DIR), QDirIterator::Subdirectories); it.hasNext();) {
        const QString path = it.next();
        if (!coreFile.match(path).hasMatch() || path.endsWith(QLatin1String("/CoreTexts.h")))
            continue;
        ++files;
        const QString source = QString::fromUtf8(readTestFile(path));
        for (const auto& m : textName.globalMatch(source)) {
            const auto name = names.find(m.captured(1));
            ASSERT_NE(name, names.end()) << path.toStdString() << ": " << m.captured().toStdString();
            const int number = name->second + m.captured(2).toInt();
            EXPECT_TRUE(listed.contains(number)) << path.toStdString() << ": " << m.captured().toStdString() << " not listed";
        }
    }
    EXPECT_GT(files, 20);
}

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
