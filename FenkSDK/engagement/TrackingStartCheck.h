#pragma once

#include "FenkSDK/api/FG_Account.h"
#include "FenkSDK/api/FG_Extra.h"
#include "FenkSDK/engagement/LegalDecision.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fenk {

class AccountService;
class AtomicBoolean;
class DispatchQueue;
class Preferences;

// A legal page to put in front of the user.
struct LegalPage {
    // showLegalScreen: `summaryLink` inside the legal screen and `termsLink` behind its accept button;
    // openLegalPage: `termsLink` in the in-app browser.
    LegalStep step = LegalStep::openLegalPage;
    std::string summaryLink;
    // The full terms, followed by the tracking parameters.
    std::string termsLink;
};

// Decides, on each activation, after each registration and after the in-app browser closes, whether tracking
// starts, nothing happens, or a legal page is shown and the SDK waits for the user. While a check runs or its
// page is on screen, `isChecking` holds and no other check starts; at most one page is shown per activation.
class TrackingStartCheck : public std::enable_shared_from_this<TrackingStartCheck> {
public:
    struct Collaborators {
        std::shared_ptr<const AtomicBoolean> runningRegistration;
        std::shared_ptr<Preferences> preferences;
        std::shared_ptr<AccountService> accounts;
        // Where every check runs; the main queue shows the page.
        std::shared_ptr<DispatchQueue> fenkQueue;
        std::shared_ptr<DispatchQueue> mainQueue;
        std::function<bool()> isConnected;
        std::function<void()> startTracking;
        // Main queue. False when the page could not be shown (no window, a link that is no web address).
        std::function<bool(const LegalPage&)> showPage;
    };

    explicit TrackingStartCheck(Collaborators collaborators);

    // On the fenk queue.
    void run();
    // The application became active again: a legal page may show once more. Any thread.
    void activated() { ++activation_; }
    // The legal page left the screen (accepted, closed, or the browser closed). Any thread.
    void pageGone() { isChecking_ = false; }
    bool isChecking() const { return isChecking_; }

private:
    struct Request {
        LegalWorkflowVariant variant;
        std::vector<FG_Extra> appParameters;
    };

    void decide(const Request& request, const std::optional<FG_Account>& account, bool refreshed);
    // Decides again on the platform's answer, back on the fenk queue; on `fallback` when none comes.
    void refreshThenDecide(Request request, std::optional<FG_Account> fallback);
    LegalPage legalPage(LegalStep step, const std::vector<FG_Extra>& appParameters) const;

    const Collaborators collaborators_;
    std::atomic<bool> isChecking_{false};
    std::atomic<std::uint64_t> activation_{0};
    // The activation a page was last shown in; fenk queue only.
    std::optional<std::uint64_t> pageShownIn_;
};

}  // namespace fenk
