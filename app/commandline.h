#pragma once

#include <QStringList>
#include <optional>

namespace vusk {

// What the command line asks for: files to open, or an answer and an exit.
struct CommandLine
{
    QStringList files; // absolute paths, in the order given
    // Set when the program answers on the command line and ends without a window.
    std::optional<int> exitCode;
    QString output; // for standard output
    QString errors; // for standard error
};

// The arguments come with the program's name first. Needs no application object,
// so that help and version come without a display.
CommandLine parseCommandLine(const QStringList &arguments);

// parseCommandLine on main()'s arguments, printing what it answers.
CommandLine readCommandLine(int argc, char *argv[]);

} // namespace vusk
