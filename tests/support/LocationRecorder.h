#pragma once

#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/ports/Location.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fenk::test {

// A delegate that keeps what its session hears, notes any callback made off the main queue, and can run a
// test's own reaction after each fix.
class LocationRecorder final : public LocationDelegate {
public:
    explicit LocationRecorder(std::shared_ptr<DispatchQueue> mainQueue = nullptr) : mainQueue_(std::move(mainQueue)) {}

    void didUpdateLocations(const std::vector<LocationFix>& batch) override {
        note();
        fixes.insert(fixes.end(), batch.begin(), batch.end());
        if (afterFix) afterFix();
    }
    void didEnterRegion(const CircularRegion& region) override {
        note();
        regionEvents.push_back("enter " + region.identifier);
    }
    void didExitRegion(const CircularRegion& region) override {
        note();
        regionEvents.push_back("exit " + region.identifier);
    }
    void monitoringDidFail(const std::optional<CircularRegion>& region, std::string_view) override {
        note();
        failures.push_back(region ? region->identifier : "");
    }
    void didVisit(const Visit& visit) override {
        note();
        visits.push_back(visit);
    }

    std::vector<LocationFix> fixes;
    std::vector<std::string> regionEvents;
    std::vector<std::string> failures;
    std::vector<Visit> visits;
    int offMainQueue = 0;
    std::function<void()> afterFix;

private:
    void note() {
        if (mainQueue_ && !mainQueue_->isCurrent()) ++offMainQueue;
    }

    std::shared_ptr<DispatchQueue> mainQueue_;
};

}  // namespace fenk::test
