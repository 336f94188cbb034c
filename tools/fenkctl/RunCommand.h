#pragma once

#include "tools/fenkctl/CommandLine.h"

#include <filesystem>

namespace fenk {

// Runs the session read from standard input; answers the process's exit code: 0 done, 1 failed.
int runSession(const CommandLine& commandLine, const std::filesystem::path& dataFolder);

}  // namespace fenk
