// Replaces a forked child with a program: what the tests and benchmarks that
// serve a chain with the camera simulator run in their child process.
#pragma once

#include <unistd.h>

#include <string>
#include <vector>

namespace orbus::testing {

// Runs `args[0]` with `args`; returns only to exit 127 when it could not.
[[noreturn]] inline void execProgram(std::vector<std::string> args) {
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
}

}  // namespace orbus::testing
