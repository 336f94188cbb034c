#pragma once

#include "FenkSDK/storage/FenkKeyChain.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

namespace fenk {

// The id of this installation, kept in the keychain under keychainAccounts::kComTarvelFenk so that it
// survives a reinstallation. The first call (or any call after the item is gone or stopped being UTF-8 text)
// makes a new random UUID, e.g. "0F8A5C3E-6B1D-4E2A-9C7F-3D5B8E1A2C4F", and stores it. An item that exists
// but cannot be read now is kept, and the call answers none. Calls from several threads at once are served
// one after another, so all of them answer the same id.
std::optional<std::string> getDeviceID(FenkKeyChain& keyChain);

// Fills a buffer with random bytes; may throw when the system offers no entropy.
using EntropySource = std::function<void(std::span<std::uint8_t>)>;

// The system's entropy source; throws (std::random_device does) on a system that offers none.
void fillFromRandomDevice(std::span<std::uint8_t> bytes);

// A random (version 4, RFC 4122 variant) UUID in upper-case 8-4-4-4-12 form. Should `entropy` throw, the bytes
// come from the state of the process instead, never from a fixed value.
std::string makeRandomUuid(const EntropySource& entropy);

}  // namespace fenk
