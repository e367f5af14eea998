#include "completion.h"

#include "commandtable.h"

#include <QMap>
#include <QStringList>

namespace harvly {

namespace {

// What completes the word after the option, or nothing for a number or free text.
QString valueReply(const CliOption &o)
{
    switch (o.value) {
    case CliValue::Folder:
        return QStringLiteral("COMPREPLY=($(compgen -d -- \"$cur\"))");
    case CliValue::File:
        return QStringLiteral("COMPREPLY=($(compgen -f -- \"$cur\"))");
    case CliValue::Words:
        return QStringLiteral("COMPREPLY=($(compgen -W \"%1\" -- \"$cur\"))")
            .arg(QString::fromUtf8(o.words));
    case CliValue::None:
    case CliValue::Number:
    case CliValue::Text:
        break;
    }
    return QString();
}

// The case arms for "COMMAND OPTION" when the cursor is on an option's value.
QString valueArms()
{
    QString text;
    for (const CliCommand &c : CliCommands()) {
        for (const CliOption &o : c.options) {
            if (o.value == CliValue::None) {
                continue;
            }
            const QString reply = valueReply(o);
            text += QStringLiteral("        \"%1 %2\") %3return ;;\n")
                        .arg(QString::fromUtf8(c.name), QString::fromUtf8(o.name),
                             reply.isEmpty() ? QString() : reply + QStringLiteral("; "));
        }
    }
    return text;
}

// The case arms that set the options a command takes (some only after its first word).
QString optionArms()
{
    QString text;
    for (const CliCommand &c : CliCommands()) {
        QStringList always;
        QMap<QString, QStringList> after; // first word: the options it adds
        for (const CliOption &o : c.options) {
            (o.onlyAt ? after[QString::fromUtf8(o.onlyAt)] : always) << QString::fromUtf8(o.name);
        }
        text += QStringLiteral("        %1)\n").arg(QString::fromUtf8(c.name));
        if (c.firstWords) {
            text += QStringLiteral("            if ((cword == 2)); then\n"
                                   "                COMPREPLY=($(compgen -W \"%1 --help\" -- "
                                   "\"$cur\"))\n"
                                   "                return\n"
                                   "            fi\n")
                        .arg(QString::fromUtf8(c.firstWords));
        }
        text += QStringLiteral("            options=\"%1\"\n").arg(always.join(QLatin1Char(' ')));
        for (auto it = after.cbegin(); it != after.cend(); ++it) {
            text += QStringLiteral("            [[ ${words[2]} == %1 ]] && options+=\" %2\"\n")
                        .arg(it.key(), it.value().join(QLatin1Char(' ')));
        }
        text += QStringLiteral("            ;;\n");
    }
    return text;
}

} // namespace

QString BashCompletion()
{
    QStringList commands;
    for (const CliCommand &c : CliCommands()) {
        commands << QString::fromUtf8(c.name);
    }
    return QStringLiteral(R"(# bash completion for harvly-cli, written from its command table
_harvly_cli()
{
    local cur prev words cword
    _init_completion 2>/dev/null || {
        cur=${COMP_WORDS[COMP_CWORD]}
        prev=${COMP_WORDS[COMP_CWORD-1]}
        words=("${COMP_WORDS[@]}")
        cword=$COMP_CWORD
    }
    if ((cword == 1)); then
        COMPREPLY=($(compgen -W "%1 --help --version" -- "$cur"))
        return
    fi
    case "${words[1]} $prev" in
%2    esac
    local options=
    case ${words[1]} in
%3    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options --help --" -- "$cur"))
    else
        COMPREPLY=($(compgen -f -- "$cur"))
    fi
}
complete -F _harvly_cli harvly-cli
)")
        .arg(commands.join(QLatin1Char(' ')), valueArms(), optionArms());
}

} // namespace harvly
