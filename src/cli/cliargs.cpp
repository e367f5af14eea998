#include "cliargs.h"

namespace harvly {

namespace {

const CliOption *findOption(const CliCommand &command, const QString &name,
                            const QStringList &operands)
{
    for (const CliOption &o : command.options) {
        if (name == QLatin1String(o.name) &&
            (!o.onlyAt || operands.value(0) == QLatin1String(o.onlyAt))) {
            return &o;
        }
    }
    return nullptr;
}

// The usage lines with the first one after lead; a line that goes on the one before is kept
// as it stands.
QString usageLines(const CliCommand &command, const QString &lead)
{
    QString text;
    bool first = true;
    for (const QString &line : QString::fromUtf8(command.synopsis).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char(' '))) {
            text += line + QLatin1Char('\n');
            continue;
        }
        text += (first ? lead : QStringLiteral("       ")) + QStringLiteral("harvly-cli ") + line +
                QLatin1Char('\n');
        first = false;
    }
    return text;
}

// "  name        first line" and the rest under it.
QString describe(const CliCommand &command)
{
    const QStringList lines = QString::fromUtf8(command.description).split(QLatin1Char('\n'));
    QString text = QStringLiteral("  %1").arg(QString::fromUtf8(command.name), -12);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        text +=
            (i == 0 ? QString() : QString(14, QLatin1Char(' '))) + lines.at(i) + QLatin1Char('\n');
    }
    return text;
}

QString optionLine(const QString &names, const char *help)
{
    constexpr int column = 22;
    const QString left = QStringLiteral("  ") + names;
    return (left.size() + 2 <= column ? left.leftJustified(column) : left + QStringLiteral("  ")) +
           QString::fromUtf8(help) + QLatin1Char('\n');
}

} // namespace

bool CliArgs::has(const char *name) const
{
    for (const auto &[option, value] : given) {
        if (option == QLatin1String(name)) {
            return true;
        }
    }
    return false;
}

QString CliArgs::value(const char *name) const
{
    for (qsizetype i = given.size() - 1; i >= 0; --i) {
        if (given.at(i).first == QLatin1String(name)) {
            return given.at(i).second;
        }
    }
    return QString();
}

std::optional<CliArgs> ParseCliArgs(const CliCommand &command, const QStringList &args,
                                    QString *error, const char *unknown)
{
    CliArgs parsed;
    bool options = true; // until "--"
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (!options || a == QLatin1String("-") || !a.startsWith(QLatin1Char('-'))) {
            parsed.operands << a;
            continue;
        }
        if (a == QLatin1String("--")) {
            options = false;
            continue;
        }
        const CliOption *option = findOption(command, a, parsed.operands);
        if (!option) {
            *error = QString::fromUtf8(unknown).arg(a);
            return std::nullopt;
        }
        if (option->value == CliValue::None) {
            parsed.given.append({a, QString()});
        } else if (i + 1 >= args.size()) {
            *error = QStringLiteral("%1 needs a value").arg(a);
            return std::nullopt;
        } else {
            parsed.given.append({a, args.at(++i)});
        }
    }
    return parsed;
}

std::optional<int> CliNumber(const QString &text, int low, int high)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < low || n > high) {
        return std::nullopt;
    }
    return n;
}

bool AsksForHelp(const QStringList &args)
{
    for (const QString &a : args) {
        if (a == QLatin1String("--")) {
            return false;
        }
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            return true;
        }
    }
    return false;
}

QString CliUsage(const CliCommand &command)
{
    return usageLines(command, QStringLiteral("Usage: "));
}

QString CliHelp(const CliCommand &command)
{
    QString text =
        CliUsage(command) + QLatin1Char('\n') + describe(command) + QStringLiteral("\nOptions:\n");
    for (const CliOption &o : command.options) {
        const QString names = o.placeholder
                                  ? QStringLiteral("%1 %2").arg(QString::fromUtf8(o.name),
                                                                QString::fromUtf8(o.placeholder))
                                  : QString::fromUtf8(o.name);
        text += optionLine(names, o.help);
    }
    return text + optionLine(QStringLiteral("-h, --help"), "print this help and exit");
}

QString ProgramHelp()
{
    QString text = QStringLiteral("Usage: harvly-cli [--version] [--help]\n");
    for (const CliCommand &c : CliCommands()) {
        text += usageLines(c, QStringLiteral("       "));
    }
    text += QStringLiteral("\nRuns the download manager's core without windows.\n\nOptions:\n");
    text += optionLine(QStringLiteral("--version"), "print the program's version and exit");
    text += optionLine(QStringLiteral("--help"), "print this help and exit");
    text += QStringLiteral("\nCommands:\n");
    for (const CliCommand &c : CliCommands()) {
        text += describe(c);
    }
    return text + QStringLiteral("\nharvly-cli COMMAND --help tells each command's options.\n");
}

} // namespace harvly
