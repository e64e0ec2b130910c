// Programs run as processes of their own, several at once: how tests meet
// what only real processes do (locks, files written by others).
#pragma once

#include <string>
#include <vector>

namespace kestrane::testing {

struct Command {
    std::vector<std::string> args;  // args[0]: the program (UTF-8 paths)
    std::string output;             // a file for its standard output and error ("": discarded)
};

// Starts every command at once, then waits for all: their exit codes, in
// order (-1: could not start).
std::vector<int> runTogether(const std::vector<Command>& commands);

// kestrane-cli as built beside the tests (KESTRANE_CLI_EXE).
std::string cliProgram();

}  // namespace kestrane::testing
