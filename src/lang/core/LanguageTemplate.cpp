#include "lang/core/LanguageTemplate.h"
#include "base/TextTable.h"

namespace {

struct Block {
    int first, last;
    const char* window;
};

constexpr Block blocks[] = {
    {0, 99, "main window"},
    {100, 199, "New configuration dialog"},
    {200, 299, "Open configuration dialog"},
    {300, 399, "Software options window"},
    {400, 799, "Communication settings window"},
    {800, 999, "reserved"},
    {1000, 1099, "Update window"},
    {1100, 1199, "shared table messages"},
    {1200, 1299, "IEC 61850 access window"},
    {1300, 1499, "windows of other converter variants"},
    {1500, 1549, "IEC 61850 access window: data array, point lists, edits"},
    {1600, 1699, "managing configurations, message boxes, fixed headings"},
    {1700, 1899, "messages of files, the image build, the access file and the SCL reader (%1, %2 ... are values)"},
    {1900, 1929, "characters that a file or the device cannot take, steps never done (%1, %2 ... are values)"},
};

bool hasText(int index) { return TextTable::builtinText(index) != QLatin1String(" "); }

// A text with blanks (or control characters) at either end keeps them only between pilcrows.
QString lineText(const QString& text)
{
    const bool padded = !text.isEmpty() && (text.front().unicode() <= 32 || text.back().unicode() <= 32);
    return padded ? u'\u00B6' + text + u'\u00B6' : text;
}

} // namespace

QByteArray englishLanguageTemplate()
{
    QString out;
    out += QStringLiteral("/#/ SWQuelmor configurator - language file: English\n"
                          "/#/ Every built-in text of the configurator, made from the program itself when it is built.\n"
                          "/#/\n"
                          "/#/ To translate: copy this file to <Language>.lng in this folder (the file name is the name\n"
                          "/#/ the Options window offers) and change the text after \"=\" on each line. A line left out\n"
                          "/#/ keeps the English text.\n"
                          "/#/   - One text per line: STRnnnn = text, where nnnn is the number of the text.\n"
                          "/#/   - \"/#/\" starts a comment that runs to the end of the line.\n"
                          "/#/   - Blanks at both ends of a text are dropped; a text whose leading or trailing blanks\n"
                          "/#/     matter is written between pilcrows, as in STR0306 = \u00B6 / \u00B6\n"
                          "/#/   - Save the file as UTF-8 with a byte-order mark (or UTF-16); a file without one is\n"
                          "/#/     read in the Windows-1252 code page.\n"
                          "/#/   - A flag picture <Language>.bmp (48 x 48 pixels) may be put beside the file; without\n"
                          "/#/     one the Options window shows DefaultFlag.bmp.\n");
    for (const Block& block : blocks) {
        bool titled = false;
        for (int i = block.first; i <= block.last; ++i) {
            if (!hasText(i))
                continue;
            if (!titled) {
                out += QStringLiteral("\n/#/ ---- %1 to %2: %3 ----\n")
                           .arg(block.first)
                           .arg(block.last)
                           .arg(QLatin1String(block.window));
                titled = true;
            }
            out += QStringLiteral("STR%1 = %2\n").arg(i, 4, 10, QChar(u'0')).arg(lineText(TextTable::builtinText(i)));
        }
    }
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}
