#include "FenkSDK/registration/DeviceIdentifier.h"

#include "FenkSDK/runtime/Console.h"
#include "FenkSDK/runtime/Data.h"
#include "FenkSDK/runtime/Utf8.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <random>
#include <thread>

namespace fenk {

void fillFromRandomDevice(std::span<std::uint8_t> bytes) {
    std::random_device device;
    for (auto& byte : bytes) {
        byte = static_cast<std::uint8_t>(device());
    }
}

namespace {

constexpr std::uint64_t kGoldenGamma = 0x9E3779B97F4A7C15;

// The splitmix64 finaliser: a bijection whose every output bit depends on every input bit.
std::uint64_t mix(std::uint64_t value) {
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EB;
    return value ^ (value >> 31);
}

// For a system without an entropy source: what differs between processes and calls (the clock's ticks, where
// the stack and the heap were placed, the thread, a count of calls) mixed into every byte. The count keeps two
// calls of one process apart even when everything else is equal.
void fillFromProcessState(std::span<std::uint8_t> bytes) {
    static std::atomic<std::uint64_t> calls = 0;
    const auto heap = std::make_unique<char>();
    const std::uint64_t sources[] = {
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()),
        reinterpret_cast<std::uintptr_t>(&bytes),
        reinterpret_cast<std::uintptr_t>(heap.get()),
        std::hash<std::thread::id>{}(std::this_thread::get_id()),
        calls.fetch_add(1, std::memory_order_relaxed),
    };
    std::uint64_t state = 0;
    for (const auto source : sources) {
        state = mix((state + kGoldenGamma) ^ source);
    }
    for (std::size_t index = 0; index < bytes.size(); ++index) {
        if (index % 8 == 0) {
            state = mix(state + kGoldenGamma);
        }
        bytes[index] = static_cast<std::uint8_t>(state >> (8 * (index % 8)));
    }
}

}  // namespace

std::string makeRandomUuid(const EntropySource& entropy) {
    std::array<std::uint8_t, 16> bytes{};
    try {
        entropy(bytes);
    } catch (const std::exception& error) {
        Console::print(std::string("Fenk: no system entropy (") + error.what() +
                       "); the new id is drawn from the state of the process");
        fillFromProcessState(bytes);
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

std::optional<std::string> getDeviceID(FenkKeyChain& keyChain) {
    // The host and the registration may both ask first; one reads what the other made, so the platform and
    // the keychain never keep two different ids.
    static std::mutex readOrCreate;
    std::lock_guard lock(readOrCreate);
    const auto account = keychainAccounts::kComTarvelFenk;
    const auto stored = keyChain.load(account);
    // Bytes that are not UTF-8 cannot be an id the SDK wrote; they are replaced like a missing item.
    if (stored && isValidUtf8(asText(*stored))) {
        return std::string(asText(*stored));
    }
    if (!stored && keyChain.contains(account)) {
        // Unreadable for now, not gone: a new id would replace the one the platform knows for good.
        Console::print("Device id cannot be read from the keychain now; it is kept, and no id is given");
        return std::nullopt;
    }
    std::string identifier = makeRandomUuid(fillFromRandomDevice);
    if (!keyChain.save(account, toData(identifier))) {
        Console::print("Device id could not be kept in the keychain; the next call makes a new one");
    }
    return identifier;
}

}  // namespace fenk
