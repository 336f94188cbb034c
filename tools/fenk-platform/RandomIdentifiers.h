#pragma once

#include <cstddef>
#include <mutex>
#include <random>
#include <string>

namespace fenk {

// Unguessable identifiers (tokens, credentials, user ids) as lower-case hexadecimal text. Thread-safe.
class RandomIdentifiers {
public:
    RandomIdentifiers();
    std::string next(std::size_t digits);

private:
    std::mutex mutex_;
    std::mt19937_64 engine_;
};

}  // namespace fenk
