#include "FenkSDK/engagement/TrackingStartCheck.h"

#include "FenkSDK/UserDefault.h"
#include "FenkSDK/engagement/RedirectLink.h"
#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/registration/AccountService.h"
#include "FenkSDK/runtime/AtomicBoolean.h"
#include "FenkSDK/runtime/WhileAlive.h"

namespace fenk {

TrackingStartCheck::TrackingStartCheck(Collaborators collaborators) : collaborators_(std::move(collaborators)) {}

void TrackingStartCheck::run() {
    // A running registration calls the check again when it ends.
    if (collaborators_.runningRegistration->get()) return;
    const auto& preferences = *collaborators_.preferences;
    if (!preferences.string(settingsKeys::kKeyResourceId)) return;
    const auto variant = preferences.boolean(settingsKeys::kFenkActiveTracking) ? LegalWorkflowVariant::tracking
                                                                                : LegalWorkflowVariant::notifications;
    // Taken on the queue every check runs on, so that two checks never both reach the screen.
    bool idle = false;
    if (!isChecking_.compare_exchange_strong(idle, true)) return;

    const UserDefault store(*collaborators_.preferences);
    Request request{variant, store.getDataArray<FG_Extra>(settingsKeys::kFenkAppParameters)};
    auto stored = store.loadRecord<FG_Account>(settingsKeys::kFenkAccountInfo);
    if (!stored && collaborators_.isConnected()) return refreshThenDecide(std::move(request), std::nullopt);
    decide(request, stored, false);
}

void TrackingStartCheck::refreshThenDecide(Request request, std::optional<FG_Account> fallback) {
    collaborators_.accounts->refreshAccountInfo(
        [weak = weak_from_this(), queue = collaborators_.fenkQueue, request = std::move(request),
         fallback = std::move(fallback)](std::optional<FG_Account> fresh) mutable {
            queue->async(whileAlive(weak, [request = std::move(request), account = fresh ? std::move(fresh) : std::move(fallback)](
                                              TrackingStartCheck& self) { self.decide(request, account, true); }));
        });
}

void TrackingStartCheck::decide(const Request& request, const std::optional<FG_Account>& account, bool refreshed) {
    const auto step = decideLegalStep(request.variant, request.appParameters,
                                      permissionAnswer(account, std::string(permissionName(request.variant))));
    if (step == LegalStep::startTracking || step == LegalStep::stop) {
        isChecking_ = false;
        if (step == LegalStep::startTracking) collaborators_.startTracking();
        return;
    }
    const std::uint64_t activation = activation_;
    if (pageShownIn_ == activation) {
        isChecking_ = false;
        return;
    }
    // The stored answer may be stale (the user may have answered since): the page shows only on a fresh one.
    if (!refreshed && collaborators_.isConnected()) return refreshThenDecide(request, account);

    pageShownIn_ = activation;
    collaborators_.mainQueue->async(
        whileAlive(weak_from_this(), [page = legalPage(step, request.appParameters)](TrackingStartCheck& self) {
            if (!self.collaborators_.showPage(page)) self.isChecking_ = false;
        }));
}

LegalPage TrackingStartCheck::legalPage(LegalStep step, const std::vector<FG_Extra>& appParameters) const {
    const auto parameters = LegalParameters::read(appParameters, true);
    return LegalPage{.step = step,
                     .summaryLink = parameters.legalSumUp.value_or(""),
                     .termsLink = redirectLink(parameters.legal.value_or(""), *collaborators_.preferences)};
}

}  // namespace fenk
