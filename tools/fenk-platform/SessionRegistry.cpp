#include "tools/fenk-platform/SessionRegistry.h"

namespace fenk {
namespace {

constexpr std::size_t kTokenDigits = 32;

}  // namespace

std::string SessionRegistry::open(Session session) {
    std::string token = identifiers_.next(kTokenDigits);
    const auto now = Clock::now();
    const std::scoped_lock lock(mutex_);
    // Forget expired tokens as new ones come, so memory follows the rate of authentications.
    while (!byExpiry_.empty() && byExpiry_.front().first <= now) {
        sessions_.erase(byExpiry_.front().second);
        byExpiry_.pop_front();
    }
    const auto expiry = now + kTokenLifetime;
    sessions_.insert_or_assign(token, Entry{std::move(session), expiry});
    byExpiry_.emplace_back(expiry, token);
    return token;
}

std::optional<Session> SessionRegistry::find(std::string_view token) const {
    const std::scoped_lock lock(mutex_);
    const auto found = sessions_.find(std::string(token));
    if (found == sessions_.end() || found->second.expiry <= Clock::now()) return std::nullopt;
    return found->second.session;
}

}  // namespace fenk
