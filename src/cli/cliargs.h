#pragma once

// The command line read by a command's option table, and the help printed from it.

#include "commandtable.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

namespace harvly {

struct CliArgs {
    QList<std::pair<QString, QString>> given; // the options in their order; "" for a switch
    QStringList operands;                     // the other words, "-" and all after "--" too

    bool has(const char *name) const;
    QString value(const char *name) const; // the last one given
};

// The words of a command by its table; nullopt with *error for an option the table does not
// know (worded by unknown, "%1" the option) or one without its value ("--dest needs a value").
std::optional<CliArgs> ParseCliArgs(const CliCommand &command, const QStringList &args,
                                    QString *error, const char *unknown = "unknown option '%1'");

// A whole number within [low, high], or nullopt.
std::optional<int> CliNumber(const QString &text, int low, int high);

// "--help" or "-h" before "--".
bool AsksForHelp(const QStringList &args);

QString CliUsage(const CliCommand &command); // its usage lines
QString CliHelp(const CliCommand &command);  // usage, what it does, its options
QString ProgramHelp();                       // every command

} // namespace harvly
