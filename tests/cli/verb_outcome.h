#pragma once

#include <algorithm>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_line.h"

// What a run of the command line left: its exit status and both streams, for the verbs' tests.
namespace lantrel::test {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

// A usage error as the program reports them: one line on standard error that names the
// problem and points to the verb's help ("lantrel" alone for the program's).
inline bool isOneUsageLine(const std::string& err, std::string_view verb) {
    const std::string name = verb.empty() ? "lantrel" : "lantrel " + std::string(verb);
    return err.starts_with(name + ": ") && err.ends_with("; try '" + name + " --help'\n") &&
           std::ranges::count(err, '\n') == 1;
}

inline Outcome runVerbs(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = runCommandLine(args, out, err);
    return {status, out.str(), err.str()};
}

}  // namespace lantrel::test
