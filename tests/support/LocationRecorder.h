#pragma once

#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/ports/Location.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fenk::test {

// A delegate that keeps what its session hears ("enter home", "exit home", "fail home"), counts callbacks
// made off the main queue, and runs a test's own reaction after each fix.
class LocationRecorder final : public LocationDelegate {
public:
    explicit LocationRecorder(std::shared_ptr<DispatchQueue> mainQueue = nullptr) : mainQueue_(std::move(mainQueue)) {}

    void didUpdateLocations(const std::vector<LocationFix>& batch) override {
        note();
        fixes.insert(fixes.end(), batch.begin(), batch.end());
        if (afterFix) afterFix();
    }
    void didEnterRegion(const CircularRegion& region) override { note("enter " + region.identifier); }
    void didExitRegion(const CircularRegion& region) override { note("exit " + region.identifier); }
    void monitoringDidFail(const std::optional<CircularRegion>& region, std::string_view) override {
        note("fail " + (region ? region->identifier : ""));
    }
    void didVisit(const Visit& visit) override {
        note();
        visits.push_back(visit);
    }

    std::vector<LocationFix> fixes;
    std::vector<Visit> visits;
    std::vector<std::string> events;
    int offMainQueue = 0;
    std::function<void()> afterFix;

private:
    void note(std::optional<std::string> event = std::nullopt) {
        if (mainQueue_ && !mainQueue_->isCurrent()) ++offMainQueue;
        if (event) events.push_back(std::move(*event));
    }

    std::shared_ptr<DispatchQueue> mainQueue_;
};

}  // namespace fenk::test
