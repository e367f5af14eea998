#pragma once

// The command line's commands and their options, declared once: the parser, --help and the
// bash completion are all read from these tables.

#include <span>

namespace harvly {

// What follows an option on the command line; the completion offers it.
enum class CliValue {
    None,   // a switch
    Number, // a count or seconds
    Folder,
    File,
    Words, // one of CliOption::words
    Text,
};

struct CliOption {
    const char *name;             // "--dest"
    CliValue value;               //
    const char *placeholder;      // "DIR" in the help; nullptr for a switch
    const char *help;             // one line
    const char *words = nullptr;  // CliValue::Words: the choices, separated by spaces
    const char *onlyAt = nullptr; // known only after this first word ("export" of cache)
};

struct CliCommand {
    const char *name;
    // The usage lines, each after "harvly-cli "; a line that begins with a space goes on
    // the one before it.
    const char *synopsis;
    const char *description; // what it does, as the help prints it
    std::span<const CliOption> options;
    const char *firstWords = nullptr; // the words one of which comes first ("list export")
};

std::span<const CliCommand> CliCommands();
const CliCommand *FindCliCommand(const char *name);

} // namespace harvly
