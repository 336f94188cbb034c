#pragma once

#include "FenkSDK/FenkKeyChain.h"

#include <string>

namespace fenk {

// The id of this installation, kept in the keychain under keychainAccounts::kComTarvelFenk so that it
// survives a reinstallation. The first call (or any call after the item is gone or stopped being UTF-8 text)
// makes a new random UUID, e.g. "0F8A5C3E-6B1D-4E2A-9C7F-3D5B8E1A2C4F", and stores it.
std::string getDeviceID(FenkKeyChain& keyChain);

}  // namespace fenk
