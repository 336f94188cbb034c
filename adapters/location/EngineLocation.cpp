#include "adapters/location/EngineLocation.h"

#include "adapters/location/DistanceFilter.h"
#include "adapters/location/SignificantChangeFilter.h"

#include <utility>

namespace fenk {

struct EngineLocation::SessionState {
    explicit SessionState(LocationDelegate& receiver) : delegate(receiver) {}

    // Whether this fix is one the session's delivery lets through.
    bool admits(const LocationFix& fix) {
        switch (delivery) {
            case LocationDelivery::off: return false;
            case LocationDelivery::continuous: return distanceFilter.admit(fix, configuration.distanceFilter);
            case LocationDelivery::significantChanges: return significantChanges.admit(fix);
        }
        return false;
    }

    LocationDelegate& delegate;
    bool alive = true;
    LocationSessionConfiguration configuration{};
    LocationDelivery delivery = LocationDelivery::off;
    bool monitorsVisits = false;
    DistanceFilter distanceFilter;
    SignificantChangeFilter significantChanges;
    std::vector<LocationFix> batch = std::vector<LocationFix>(1);  // reused: one fix per delivery
};

class EngineLocation::Session final : public LocationSession {
public:
    Session(EngineLocation& engine, std::shared_ptr<SessionState> state) : engine_(engine), state_(std::move(state)) {}
    ~Session() override {
        state_->alive = false;
        if (engine_.deliveries_ == 0) engine_.removeDeadSessions();
    }

    void configure(const LocationSessionConfiguration& configuration) override {
        state_->configuration = configuration;
    }
    void requestAlwaysAuthorization() override {}
    // Every start delivers the next fix at once, as a fresh start of a service does.
    void setDelivery(LocationDelivery delivery) override {
        state_->delivery = delivery;
        state_->distanceFilter.reset();
        state_->significantChanges.reset();
    }
    void startMonitoringVisits() override { state_->monitorsVisits = true; }

    std::vector<CircularRegion> monitoredRegions() const override { return engine_.regions_.regions(); }
    void startMonitoring(const CircularRegion& region) override {
        if (!isMonitorable(region)) {
            engine_.mainQueue_->async([weak = std::weak_ptr(state_), region] {
                const auto state = weak.lock();
                if (state && state->alive) state->delegate.monitoringDidFail(region, "region cannot be monitored");
            });
            return;
        }
        engine_.regions_.start(region);
        engine_.regionsChanged();
    }
    void stopMonitoring(std::string_view identifier) override {
        if (engine_.regions_.stop(identifier)) engine_.regionsChanged();
    }

private:
    EngineLocation& engine_;
    std::shared_ptr<SessionState> state_;
};

EngineLocation::EngineLocation(std::shared_ptr<DispatchQueue> mainQueue, std::shared_ptr<SecureStore> store,
                               LocationAuthorizationStatus status)
    : mainQueue_(std::move(mainQueue)), status_(status), persisted_(std::move(store)), regions_(persisted_.load()) {}

EngineLocation::~EngineLocation() = default;

std::unique_ptr<LocationSession> EngineLocation::makeSession(LocationDelegate& delegate) {
    auto state = std::make_shared<SessionState>(delegate);
    sessions_.push_back(state);
    return std::make_unique<Session>(*this, std::move(state));
}

void EngineLocation::regionsChanged() { persisted_.save(regions_.regions()); }

void EngineLocation::removeDeadSessions() {
    std::erase_if(sessions_, [](const auto& state) { return !state->alive; });
}

// A delegate may destroy its session or make new ones from inside a callback: sessions are visited by index
// among those that existed when the delivery began, each held for the length of its call.
template <class Wanted, class Call>
void EngineLocation::forEachLiveSession(Wanted wanted, Call call) {
    const std::size_t count = sessions_.size();
    for (std::size_t index = 0; index < count; ++index) {
        const std::shared_ptr<SessionState> state = sessions_[index];
        if (state->alive && wanted(*state)) call(*state);
    }
}

void EngineLocation::ingest(const LocationFix& fix) {
    const bool authorized = status_ == LocationAuthorizationStatus::authorizedAlways ||
                            status_ == LocationAuthorizationStatus::authorizedWhenInUse;
    if (!authorized || !isValidCoordinate(fix.coordinate)) return;

    // Taken out of the member so that a callback feeding a fix of its own cannot disturb this delivery.
    std::vector<RegionEvent> events = std::move(regionEvents_);
    events.clear();
    regions_.observe(fix, events);
    const std::optional<Visit> visit = visits_.observe(fix);

    ++deliveries_;
    forEachLiveSession([&](SessionState& state) { return state.admits(fix); },
                       [&](SessionState& state) {
                           state.batch.front() = fix;
                           state.delegate.didUpdateLocations(state.batch);
                       });
    if (visit) {
        forEachLiveSession([](const SessionState& state) { return state.monitorsVisits; },
                           [&](SessionState& state) { state.delegate.didVisit(*visit); });
    }
    for (const auto& event : events) {
        forEachLiveSession([](const SessionState&) { return true; }, [&](SessionState& state) {
            if (event.entered) {
                state.delegate.didEnterRegion(event.region);
            } else {
                state.delegate.didExitRegion(event.region);
            }
        });
    }
    if (--deliveries_ == 0) removeDeadSessions();
    regionEvents_ = std::move(events);
}

}  // namespace fenk
