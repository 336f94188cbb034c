#include "adapters/linux/SqlitePreferences.h"

#include "TemporaryFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <map>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace fenk {
namespace {

// A writer process is killed at random instants while it rewrites keys of every form; after each kill the
// store must open and hold, under every key, a whole value no older than the last write it confirmed.
constexpr std::uint64_t kKeys = 12;
constexpr int kRounds = 60;
constexpr std::uint64_t kGenerationsPerRound = 1'000'000;

std::uint64_t checksum(std::string_view text) {
    std::uint64_t hash = 1469598103934665603ULL;
    for (const char character : text) {
        hash = (hash ^ static_cast<unsigned char>(character)) * 1099511628211ULL;
    }
    return hash;
}

std::string keyFor(std::uint64_t generation) { return "key" + std::to_string(generation % kKeys); }

// "<key>:<generation>:<element>:<filler>:<checksum of all before>", of a size that varies with the generation
// so that values cross page boundaries.
std::string payload(const std::string& key, std::uint64_t generation, std::size_t element) {
    std::string text = key + ":" + std::to_string(generation) + ":" + std::to_string(element) + ":" +
                       std::string(generation * 7919 % 9000, static_cast<char>('a' + generation % 26)) + ":";
    return text + std::to_string(checksum(text));
}

// The generation a whole, self-consistent payload names, or nothing for a torn or foreign one.
std::optional<std::uint64_t> generationOf(std::string_view text, const std::string& key, std::size_t element) {
    const auto lastColon = text.rfind(':');
    if (lastColon == std::string_view::npos ||
        text.substr(lastColon + 1) != std::to_string(checksum(text.substr(0, lastColon + 1)))) {
        return std::nullopt;
    }
    const auto prefix = key + ":";
    if (!text.starts_with(prefix)) {
        return std::nullopt;
    }
    const auto generation = std::stoull(std::string(text.substr(prefix.size())));
    return payload(key, generation, element) == text ? std::optional(generation) : std::nullopt;
}

void writeGeneration(Preferences& store, std::uint64_t generation) {
    const auto key = keyFor(generation);
    switch (generation % kKeys % 3) {
        case 0: store.setString(key, payload(key, generation, 0)); break;
        case 1: store.setData(key, toData(payload(key, generation, 0))); break;
        default: store.setDataArray(key, {toData(payload(key, generation, 0)), toData(payload(key, generation, 1))});
    }
}

// The generation held under the key, 0 when it was never written, nothing when the value is damaged.
std::optional<std::uint64_t> readGeneration(const Preferences& store, std::uint64_t keyIndex) {
    const auto key = keyFor(keyIndex);
    switch (keyIndex % 3) {
        case 0: {
            const auto text = store.string(key);
            return text ? generationOf(*text, key, 0) : 0;
        }
        case 1: {
            const auto data = store.data(key);
            return data ? generationOf(asText(*data), key, 0) : 0;
        }
        default: {
            const auto elements = store.dataArray(key);
            if (elements.empty()) {
                return 0;
            }
            const auto first = generationOf(asText(elements.at(0)), key, 0);
            const bool whole = elements.size() == 2 && first == generationOf(asText(elements[1]), key, 1);
            return whole ? first : std::nullopt;
        }
    }
}

// Writes generations from `first` on, one confirmation byte per committed write, until killed.
[[noreturn]] void runWriter(const std::filesystem::path& path, std::uint64_t first, int confirmations) {
    SqlitePreferences store(path);
    for (auto generation = first;; ++generation) {
        writeGeneration(store, generation);
        const char confirmation = 1;
        if (::write(confirmations, &confirmation, 1) != 1) {
            ::_exit(1);
        }
    }
}

TEST(SettingsCrashTest, KilledWriterLeavesEveryKeyWholeAndCommittedWritesKept) {
    TemporaryFolder folder;
    const auto path = folder.path() / "settings.sqlite3";
    const auto seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> writesBeforeKill(1, 300);
    std::map<std::uint64_t, std::uint64_t> confirmedGeneration;

    for (int round = 1; round <= kRounds; ++round) {
        const std::uint64_t first = round * kGenerationsPerRound;
        int pipe[2];
        ASSERT_EQ(::pipe(pipe), 0);
        const pid_t writer = ::fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            ::close(pipe[0]);
            runWriter(path, first, pipe[1]);
        }
        ::close(pipe[1]);
        const int confirmed = writesBeforeKill(random);
        int received = 0;
        while (received < confirmed) {
            char buffer[64];
            const auto count = ::read(pipe[0], buffer, std::min<std::size_t>(sizeof buffer, confirmed - received));
            if (count <= 0) {
                break;
            }
            received += static_cast<int>(count);
        }
        ::kill(writer, SIGKILL);
        ::waitpid(writer, nullptr, 0);
        ::close(pipe[0]);
        ASSERT_EQ(received, confirmed) << "the writer stopped on its own";
        for (auto generation = first; generation < first + confirmed; ++generation) {
            confirmedGeneration[generation % kKeys] = generation;
        }

        SqlitePreferences store(path);
        for (std::uint64_t keyIndex = 0; keyIndex < kKeys; ++keyIndex) {
            const auto generation = readGeneration(store, keyIndex);
            ASSERT_TRUE(generation) << "round " << round << ": key " << keyIndex << " is damaged";
            ASSERT_GE(*generation, confirmedGeneration[keyIndex]) << "round " << round << ": key " << keyIndex;
            confirmedGeneration[keyIndex] = *generation;
        }
    }
}

}  // namespace
}  // namespace fenk
