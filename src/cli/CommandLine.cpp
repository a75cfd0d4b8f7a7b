#include "cli/CommandLine.h"
#include "base/Constants.h"
#include <QRegularExpression>
#include <algorithm>

namespace {

constexpr int usageError = 2;
constexpr qsizetype lineWidth = 79;

bool isHelp(const QString& arg) { return arg == QLatin1String("--help") || arg == QLatin1String("-h"); }

// An option, as opposed to an argument: "-" alone (standard input by custom) and "-5" are arguments.
bool isOption(const QString& arg)
{
    return arg.size() > 1 && arg[0] == u'-' && (arg[1].isLetter() || (arg[1] == u'-' && arg.size() > 2));
}

// The first sentence of a command's help: its line in the list of commands.
QString summaryOf(const Command& c)
{
    const QString help = QString::fromUtf8(c.help);
    const qsizetype end = help.indexOf(QLatin1String(". "));
    return end < 0 ? help : help.left(end + 1);
}

// `text` in lines of at most lineWidth characters, each starting with `indent`.
QString wrapped(const QString& text, const QString& indent)
{
    QString result, line = indent;
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (line.size() > indent.size() && line.size() + 1 + word.size() > lineWidth) {
            result += line + u'\n';
            line = indent;
        }
        if (line.size() > indent.size())
            line += u' ';
        line += word;
    }
    return result + line + u'\n';
}

void printUsage(std::span<const Command> commands, QTextStream& out)
{
    out << "swquelmor-cli: the configurator's files without its windows.\n\n"
           "Usage: swquelmor-cli COMMAND [ARGUMENTS]\n"
           "       swquelmor-cli COMMAND --help    the arguments of COMMAND\n"
           "       swquelmor-cli --help | --version\n\nCommands:\n";
    qsizetype width = 0;
    for (const Command& c : commands)
        width = std::max(width, qsizetype(qstrlen(c.name)));
    for (const Command& c : commands)
        out << "  " << QString::fromUtf8(c.name).leftJustified(width) << "  " << summaryOf(c) << '\n';
}

void printCommandHelp(const Command& c, QTextStream& out)
{
    out << "Usage: swquelmor-cli " << c.name << ' ' << c.usage << "\n\n"
        << wrapped(QString::fromUtf8(c.help), QStringLiteral("  "));
}

// The options a command's usage names: "--force" of "[--force] [--separator=CHAR] FOLDER".
QStringList optionsOf(const Command& c)
{
    QStringList options;
    static const QRegularExpression option(QStringLiteral("(?<![\\w-])(--?[A-Za-z][\\w-]*)"));
    for (auto it = option.globalMatch(QString::fromUtf8(c.usage)); it.hasNext();)
        options << it.next().captured(1);
    return options;
}

} // namespace

int runCommandLine(std::span<const Command> commands, QStringList args, QTextStream& out, QTextStream& err)
{
    if (args.isEmpty()) {
        printUsage(commands, err);
        return usageError;
    }
    const QString first = args.takeFirst();
    if (isHelp(first)) {
        printUsage(commands, out);
        return 0;
    }
    if (first == QLatin1String("--version")) {
        out << "swquelmor-cli " << SoftwareVersion << '\n';
        return 0;
    }
    const auto command
        = std::find_if(commands.begin(), commands.end(), [&](const Command& c) { return first == QLatin1String(c.name); });
    if (command == commands.end()) {
        err << "swquelmor-cli: unknown " << (isOption(first) ? "option " : "command ") << first << "\n\n";
        printUsage(commands, err);
        return usageError;
    }
    // Options stand before "--"; everything after it is an argument, also when it starts with "-".
    const qsizetype end = args.indexOf(QStringLiteral("--"));
    const QStringList options = optionsOf(*command);
    for (qsizetype i = 0; i < (end < 0 ? args.size() : end); ++i) {
        if (isHelp(args[i])) {
            printCommandHelp(*command, out);
            return 0;
        }
        if (isOption(args[i]) && !options.contains(args[i].section(u'=', 0, 0))) {
            err << "swquelmor-cli " << command->name << ": unknown option " << args[i] << "\n\n";
            printCommandHelp(*command, err);
            return usageError;
        }
    }
    if (end >= 0)
        args.removeAt(end);
    return command->run(args, out, err);
}
