#pragma once

#include "tools/fenkctl/CommandLine.h"

#include <filesystem>

namespace fenk {

// Each answers the process's exit code: 0 done, 1 failed, 2 bad input.
int runTrack(const CommandLine& commandLine, const std::filesystem::path& dataFolder, const TrackCommand& track);
int runReplay(const CommandLine& commandLine, const std::filesystem::path& dataFolder, const ReplayCommand& replay);
int printPlaces(const std::filesystem::path& dataFolder);

}  // namespace fenk
