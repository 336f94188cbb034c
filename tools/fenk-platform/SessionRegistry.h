#pragma once

#include <chrono>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "tools/fenk-platform/RandomIdentifiers.h"

namespace fenk {

// Who a token speaks for: an app, and the user when the device authenticated as one.
struct Session {
    std::string appKey{};
    std::optional<std::string> resourceId{};
};

// The access tokens handed out by authentication. They live in memory only: a restarted platform forgets
// them, and devices simply authenticate again (they do before every call). Thread-safe.
class SessionRegistry {
public:
    static constexpr std::chrono::hours kTokenLifetime{1};

    // A fresh token for the session.
    std::string open(Session session);
    // The session of a token that is known and not yet expired.
    std::optional<Session> find(std::string_view token) const;

private:
    using Clock = std::chrono::steady_clock;
    struct Entry {
        Session session;
        Clock::time_point expiry;
    };

    mutable std::mutex mutex_;
    RandomIdentifiers identifiers_;
    std::unordered_map<std::string, Entry> sessions_;
    std::deque<std::pair<Clock::time_point, std::string>> byExpiry_;
};

}  // namespace fenk
