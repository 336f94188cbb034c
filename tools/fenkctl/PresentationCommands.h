#pragma once

#include "tools/fenkctl/CommandLine.h"

#include <filesystem>

namespace fenk {

// Each answers the process's exit code: 0 done, 1 failed.
int runPush(const CommandLine& commandLine, const std::filesystem::path& dataFolder, const PushCommand& push);
int runLegal(const CommandLine& commandLine, const std::filesystem::path& dataFolder, const LegalCommand& legal);
int runTour(const CommandLine& commandLine, const std::filesystem::path& dataFolder, const TourCommand& tour);

}  // namespace fenk
