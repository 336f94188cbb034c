#include "adapters/fake/ScriptedLocation.h"

#include <algorithm>

namespace fenk {

struct ScriptedLocation::SessionState {
    explicit SessionState(LocationDelegate& receiver) : delegate(receiver) {}

    LocationDelegate& delegate;
    SessionRecord record;
};

class ScriptedLocation::Session final : public LocationSession {
public:
    Session(ScriptedLocation& owner, std::shared_ptr<SessionState> state)
        : owner_(owner), state_(std::move(state)) {}
    ~Session() override { state_->record.alive = false; }

    void configure(const LocationSessionConfiguration& configuration) override {
        state_->record.configuration = configuration;
    }
    void requestAlwaysAuthorization() override { ++state_->record.alwaysAuthorizationRequests; }
    void setDelivery(LocationDelivery delivery) override { state_->record.delivery = delivery; }
    void startMonitoringVisits() override { state_->record.monitorsVisits = true; }

    std::vector<CircularRegion> monitoredRegions() const override { return owner_.regions_; }
    void startMonitoring(const CircularRegion& region) override {
        stopMonitoring(region.identifier);
        owner_.regions_.push_back(region);
    }
    void stopMonitoring(std::string_view identifier) override {
        std::erase_if(owner_.regions_, [&](const CircularRegion& region) { return region.identifier == identifier; });
    }

private:
    ScriptedLocation& owner_;
    std::shared_ptr<SessionState> state_;
};

ScriptedLocation::ScriptedLocation(std::shared_ptr<DispatchQueue> mainQueue) : mainQueue_(std::move(mainQueue)) {}

ScriptedLocation::~ScriptedLocation() = default;

std::unique_ptr<LocationSession> ScriptedLocation::makeSession(LocationDelegate& delegate) {
    auto state = std::make_shared<SessionState>(delegate);
    sessions_.push_back(state);
    return std::make_unique<Session>(*this, std::move(state));
}

// The event is handed to the delegates on the main queue, later, and skips a session destroyed meanwhile.
template <class Wanted, class Event>
void ScriptedLocation::deliver(Wanted wanted, Event event) {
    for (const auto& state : sessions_) {
        if (!state->record.alive || !wanted(state->record)) continue;
        mainQueue_->async([weak = std::weak_ptr<SessionState>(state), event] {
            const auto session = weak.lock();
            if (session && session->record.alive) event(session->delegate);
        });
    }
}

void ScriptedLocation::setAuthorizationStatus(LocationAuthorizationStatus status) {
    authorizationStatus_ = status;
    deliver([](const SessionRecord&) { return true; },
            [status](LocationDelegate& delegate) { delegate.didChangeAuthorization(status); });
}

void ScriptedLocation::deliverFixes(std::vector<LocationFix> batch) {
    deliver([](const SessionRecord& record) { return record.delivery != LocationDelivery::off; },
            [batch = std::move(batch)](LocationDelegate& delegate) { delegate.didUpdateLocations(batch); });
}

void ScriptedLocation::deliverVisit(Visit visit) {
    deliver([](const SessionRecord& record) { return record.monitorsVisits; },
            [visit](LocationDelegate& delegate) { delegate.didVisit(visit); });
}

std::optional<CircularRegion> ScriptedLocation::region(std::string_view identifier) const {
    const auto found = std::ranges::find(regions_, identifier, &CircularRegion::identifier);
    return found == regions_.end() ? std::nullopt : std::optional(*found);
}

void ScriptedLocation::enterRegion(std::string_view identifier) {
    if (const auto entered = region(identifier)) {
        deliver([](const SessionRecord&) { return true; },
                [entered = *entered](LocationDelegate& delegate) { delegate.didEnterRegion(entered); });
    }
}

void ScriptedLocation::exitRegion(std::string_view identifier) {
    if (const auto left = region(identifier)) {
        deliver([](const SessionRecord&) { return true; },
                [left = *left](LocationDelegate& delegate) { delegate.didExitRegion(left); });
    }
}

void ScriptedLocation::failMonitoring(std::string_view identifier, std::string error) {
    deliver([](const SessionRecord&) { return true; },
            [failed = region(identifier), error = std::move(error)](LocationDelegate& delegate) {
                delegate.monitoringDidFail(failed, error);
            });
}

std::vector<ScriptedLocation::SessionRecord> ScriptedLocation::sessions() const {
    std::vector<SessionRecord> records;
    for (const auto& state : sessions_) records.push_back(state->record);
    return records;
}

}  // namespace fenk
