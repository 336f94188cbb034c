#include "FenkSDK/location/PositionUploader.h"

#include "FenkSDK/UserDefault.h"
#include "FenkSDK/api/ServiceCatalogue.h"
#include "FenkSDK/location/LocationNotifications.h"
#include "FenkSDK/location/PositionDescriptor.h"
#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/runtime/Console.h"
#include "FenkSDK/runtime/DecimalText.h"
#include "FenkSDK/runtime/NotificationCenter.h"
#include "FenkSDK/runtime/WhileAlive.h"

#include <algorithm>

namespace fenk {
namespace {

// One at a time keeps the platform's order the order positions happened in; a week's backlog still drains
// in seconds on a working link.
constexpr std::size_t kUploadsInFlight = 1;

// Lost, or refused for now: worth sending again.
bool failed(const std::optional<Data>& body, const std::optional<HttpResponse>& response) {
    if (!body) return true;
    const int status = response ? response->statusCode : 200;
    return status >= 500 || status == 408 || status == 429;
}

}  // namespace

PositionUploader::PositionUploader(Collaborators collaborators, std::unique_ptr<UploadQueue> queue)
    : ports_(std::move(collaborators)), queue_(std::move(queue)), jitter_(ports_.jitterSeed) {}

void PositionUploader::adoptStoredList() {
    queue_->adoptStoredList();
    pump();
}

void PositionUploader::send(const std::vector<StoredLocation>& records) {
    queue_->push(records);
    pump();
}

void PositionUploader::resend() {
    ports_.positionsQueue->async(whileAlive(weak_from_this(), [](PositionUploader& self) { self.pump(); }));
}

std::size_t PositionUploader::waiting() const { return queue_->size(); }

void PositionUploader::pump() {
    while (inFlight_.size() < kUploadsInFlight && queue_->size() > inFlight_.size()) {
        const auto resourceId = ports_.preferences->string(settingsKeys::kKeyResourceId);
        // Nothing can go out until the link returns or the installation is registered; the queue keeps it all.
        if (!resourceId || !ports_.isConnected()) {
            lastDeferral_ = ports_.clock->now();
            retryLater();
            return;
        }
        const auto candidates = queue_->oldest(inFlight_.size() + 1);
        const auto next = std::find_if(candidates.begin(), candidates.end(),
                                       [&](const UploadQueue::Queued& queued) { return !inFlight_.contains(queued.id); });
        if (next == candidates.end()) return;
        upload(*next, *resourceId);
    }
}

void PositionUploader::upload(const UploadQueue::Queued& queued, const std::string& resourceId) {
    const StoredLocation& record = queued.record;
    inFlight_.insert(queued.id);
    FG_SoaApiUserLocation_UpdateParametersIn parameters{
        .i_longitude = shortestDecimal(record.longitude),
        .i_latitude = shortestDecimal(record.latitude),
        .i_resourceId = resourceId,
        .i_extra = describePosition(record, ports_.placeTag(record), dwellSeconds(record), ports_.link()),
    };
    const auto finished = [weak = weak_from_this(), queue = ports_.positionsQueue, queued](
                              std::optional<Data> body, std::optional<HttpResponse> response, std::optional<HttpError>) {
        queue->async([weak, queued, reply = Reply{std::move(body), response}] {
            if (const auto self = weak.lock()) self->finish(queued, reply);
        });
    };
    ports_.session.authenticateStored(
        [session = ports_.session, service = FG_SoaApiUserLocation_UpdateService(ports_.transport),
         parameters = std::move(parameters), finished](FG_Authenticate, std::optional<FG_AuthenticateBean>) {
            service.exchange(parameters, session.storedRecord(), finished);
        });
}

void PositionUploader::finish(const UploadQueue::Queued& queued, const Reply& reply) {
    const std::int64_t id = queued.id;
    inFlight_.erase(id);
    if (failed(reply.body, reply.response)) {
        lastDeferral_ = ports_.clock->now();
        // A single lost reply is common and cheap to repeat; a platform that keeps failing is left alone a while.
        if (++consecutiveFailures_ == 1) {
            pump();
        } else {
            retryLater();
        }
        return;
    }
    std::string error;
    if (!json::decode<FG_SoaApiUserLocation_UpdateParametersOut>(asText(*reply.body), &error)) Console::print(error);
    queue_->acknowledge(id);
    ++statistics_.uploaded;
    if (queued.enqueuedAt <= lastDeferral_) ++statistics_.resent;
    consecutiveFailures_ = 0;
    ports_.notificationCenter->post(kLocationTrack, std::make_shared<StoredLocation>(queued.record));
    pump();
}

void PositionUploader::retryLater() {
    if (retryArmed_) return;
    retryArmed_ = true;
    ports_.positionsQueue->asyncAfter(backOff(), whileAlive(weak_from_this(), [](PositionUploader& self) {
                                          self.retryArmed_ = false;
                                          self.pump();
                                      }));
}

Duration PositionUploader::backOff() {
    const unsigned doublings = std::min(consecutiveFailures_ > 1 ? consecutiveFailures_ - 2 : 0U, 5U);
    const Duration base = std::min<Duration>(kFirstBackOff * (1 << doublings), kLongestBackOff);
    // ±20%, so that many devices that lost the platform together do not come back together.
    std::uniform_real_distribution<double> spread(0.8, 1.2);
    return std::chrono::duration_cast<Duration>(base * spread(jitter_));
}

}  // namespace fenk
