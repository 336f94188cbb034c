#include "FenkSDK/registration/DeviceIdentifier.h"

#include "FenkSDK/Data.h"
#include "FenkSDK/runtime/Console.h"

#include <simdjson.h>

#include <array>
#include <cstdint>
#include <random>

namespace fenk {
namespace {

// A random (version 4, RFC 4122 variant) UUID in upper-case 8-4-4-4-12 form.
std::string makeRandomUuid() {
    std::random_device entropy;
    std::array<std::uint8_t, 16> bytes{};
    for (std::size_t index = 0; index < bytes.size(); index += 4) {
        const std::uint32_t word = entropy();
        for (std::size_t shift = 0; shift < 4; ++shift) {
            bytes[index + shift] = static_cast<std::uint8_t>(word >> (8 * shift));
        }
    }
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);

    std::string text;
    text.reserve(36);
    for (std::size_t index = 0; index < bytes.size(); ++index) {
        if (index == 4 || index == 6 || index == 8 || index == 10) text.push_back('-');
        appendHexByte(text, bytes[index], HexDigits::upper);
    }
    return text;
}

}  // namespace

std::string getDeviceID(FenkKeyChain& keyChain) {
    const auto account = keychainAccounts::kComTarvelFenk;
    // Bytes that are not UTF-8 cannot be an id the SDK wrote; they are replaced like a missing item.
    if (const auto stored = keyChain.load(account);
        stored && simdjson::validate_utf8(reinterpret_cast<const char*>(stored->data()), stored->size())) {
        return std::string(asText(*stored));
    }
    std::string identifier = makeRandomUuid();
    if (!keyChain.save(account, toData(identifier))) {
        Console::print("Device id could not be kept in the keychain; the next call makes a new one");
    }
    return identifier;
}

}  // namespace fenk
