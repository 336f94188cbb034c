#include "adapters/linux/SqlitePreferences.h"

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
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

std::string keyFor(std::uint64_t generation) { return "key" + std::to_string(generation % kKeys); }

// "<generation>:<filler>", of a size that varies with the generation so that values cross page boundaries.
std::string payload(std::uint64_t generation) {
    return std::to_string(generation) + ":" +
           std::string(generation * 7919 % 9000, static_cast<char>('a' + generation % 26));
}

// Regenerating the payload from the generation it names checks every byte: a torn value never matches.
std::optional<std::uint64_t> generationOf(std::string_view text, std::uint64_t keyIndex) {
    const auto generation = std::strtoull(std::string(text.substr(0, 20)).c_str(), nullptr, 10);
    const bool whole = generation % kKeys == keyIndex && payload(generation) == text;
    return whole ? std::optional(generation) : std::nullopt;
}

// Keys take turns at the three forms that carry bytes; a list holds the payload twice.
bool writeGeneration(Preferences& store, std::uint64_t generation) {
    const auto key = keyFor(generation);
    const auto text = payload(generation);
    switch (generation % kKeys % 3) {
        case 0: return store.setString(key, text);
        case 1: return store.setData(key, toData(text));
        default: return store.setDataArray(key, {toData(text), toData(text)});
    }
}

// The generation held under the key, 0 when it was never written, nothing when the value is damaged.
std::optional<std::uint64_t> readGeneration(const Preferences& store, std::uint64_t keyIndex) {
    const auto key = keyFor(keyIndex);
    std::vector<Data> values;
    switch (keyIndex % 3) {
        case 0: values = {toData(store.string(key).value_or(""))}; break;
        case 1: values = {store.data(key).value_or(Data{})}; break;
        default: values = store.dataArray(key);
    }
    if (values.empty() || values.front().empty()) {
        return 0;
    }
    const std::size_t expectedCount = keyIndex % 3 == 2 ? 2 : 1;
    const bool whole = values.size() == expectedCount && values.front() == values.back();
    return whole ? generationOf(asText(values.front()), keyIndex) : std::nullopt;
}

// Writes generations from `first` on, one confirmation byte per committed write, until killed.
[[noreturn]] void runWriter(const std::filesystem::path& path, std::uint64_t first, int confirmations) {
    SqlitePreferences store(path);
    for (auto generation = first;; ++generation) {
        const char confirmation = 1;
        if (!writeGeneration(store, generation) || ::write(confirmations, &confirmation, 1) != 1) {
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
        int channel[2];
        ASSERT_EQ(::pipe(channel), 0);
        const pid_t writer = ::fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            ::close(channel[0]);
            runWriter(path, first, channel[1]);
        }
        ::close(channel[1]);
        const int confirmed = writesBeforeKill(random);
        int received = 0;
        char confirmation = 0;
        while (received < confirmed && ::read(channel[0], &confirmation, 1) == 1) ++received;
        ::kill(writer, SIGKILL);
        ::waitpid(writer, nullptr, 0);
        ::close(channel[0]);
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
