#pragma once
// The options people type at a shell (--help, --version, and a word for any option the program
// does not know), answered before the screen-saver switches and without a display. Command lines
// that start with "/" and the empty one are the screen-saver machinery's: the switches decide,
// and on Linux one that opens no window ends before the display is opened.
#include <optional>
#include <string>
#include <vector>

namespace mv {

// Which program answers: the Linux one has a console and hosted mode; the Windows one shows its
// answers in a message box and keeps its silence for anything but --help and --version.
enum class CliSystem { Posix, Windows };

struct CliAnswer {
    int status = 0;
    std::string out;  // for the standard output (on Windows: the message box's text)
    std::string err;  // for the error output
};

// The answer to the command line, or nullopt when the switches or the hosted options decide.
// arguments: without the program name.
std::optional<CliAnswer> AnswerCommandLine(const std::vector<std::string>& arguments, CliSystem system);

// The whole --help text, and the short usage that follows a mistaken option.
std::string HelpText(CliSystem system);
std::string UsageLine();

}  // namespace mv
