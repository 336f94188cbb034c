#pragma once

#include "FenkSDK/Environment.h"

#include <filesystem>

namespace fenk {

// The Linux adapters with every file the SDK keeps inside `dataFolder`: the settings database and the
// secure folder. makeDefaultEnvironment() uses the user's default data folder (fenkDataFolder()).
Environment makeLinuxEnvironment(const std::filesystem::path& dataFolder);

}  // namespace fenk
