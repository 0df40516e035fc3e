#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

namespace lantrel {

// Exit statuses of the command-line verbs.
enum ExitStatus : int {
    kExitSuccess = 0,
    kExitFailure = 1,     // bad input or a failed job; the reason is on standard error
    kExitUsage = 2,       // the command line itself is wrong
    kExitCancelled = 130  // stopped with Ctrl+C; SIGTERM and SIGHUP give 128 + their number
};

// Runs the verb named by args[0] (the program name is not included) and returns the exit
// status. Output goes to `out`, messages and errors to `err`. Nothing escapes: an exception
// that a verb did not expect (memory running out, a system call failing under it) is reported
// on `err` and gives kExitFailure, so the window's main can call this as it is.
int runCommandLine(std::span<const std::string> args, std::ostream& out, std::ostream& err);

// The program's help: every verb's synopsis and summary, and how to get a verb's own help.
void printUsage(std::ostream& stream);

// Tells the user what is wrong with the command line in one line that points to the help, and
// gives kExitUsage: "lantrel export: --fps must be 1 to 60; try 'lantrel export --help'". An
// empty `verb` speaks of the program as a whole.
int usageError(std::ostream& err, std::string_view verb, std::string_view problem);

// Whether a verb draws pictures or text and so needs the (offscreen) Qt GUI application; not
// when it is only asked for its help.
bool commandNeedsGui(std::span<const std::string> args);

// Whether the arguments are for the command line: a verb, an option such as --help, or a word
// that names no file. With no argument or a file name the program opens its window instead.
bool isCommandLine(std::span<const std::string> args);

}  // namespace lantrel
