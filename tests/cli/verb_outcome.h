#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/command_line.h"

// What a run of the command line left: its exit status and both streams, for the verbs' tests.
namespace lantrel::test {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

inline Outcome runVerbs(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = runCommandLine(args, out, err);
    return {status, out.str(), err.str()};
}

}  // namespace lantrel::test
