#pragma once

#include <QStringList>
#include <QTextStream>
#include <span>

namespace kestrel::cli {

// What a subcommand gets: its own arguments (after the command name) and the two streams.
struct TCliContext {
    QStringList args;
    QTextStream& out;
    QTextStream& err;
};

// One subcommand. Returns the process exit code (0 on success).
struct TCliCommand {
    const char* name;
    const char* usage;    // arguments, e.g. "文書.mld [--sheet N]"
    const char* summary;  // one line, Japanese
    int (*run)(TCliContext& context);
    const char* details = "";  // further lines of its usage, each indented by two spaces
};

// Every subcommand, in the order the help lists them. New features add a row here.
std::span<const TCliCommand> Commands();

// "使い方: kestrel-cli NAME ARGUMENTS" and the further lines of the named command: what its
// --help prints and what a wrong argument shows below the message.
QString CommandUsage(const char* name);

// Runs the command line (program name first); returns the exit code.
int RunCommandLine(const QStringList& arguments, QTextStream& out, QTextStream& err);

}  // namespace kestrel::cli
