#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace fenk {

struct Outcome {
    int exitCode = -1;
    std::string output;
};

// Runs a shell command and collects what it writes to its standard output.
inline Outcome runShell(const std::string& command) {
    Outcome outcome;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return outcome;
    char buffer[4096];
    for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) outcome.output.append(buffer, read);
    const int status = ::pclose(pipe);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

}  // namespace fenk
