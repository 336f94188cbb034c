#include "FenkSDK/engagement/ContentPresenter.h"

#include "FenkSDK/api/PercentEncoding.h"
#include "FenkSDK/api/WellFormedUrl.h"
#include "FenkSDK/engagement/ImageDownload.h"
#include "FenkSDK/engagement/RedirectLink.h"
#include "FenkSDK/engagement/VideoPage.h"
#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/runtime/NotificationCenter.h"
#include "FenkSDK/runtime/WhileAlive.h"
#include "FenkSDK/ui/FenkToasts.h"
#include "FenkSDK/ui/PlayerCommands.h"
#include "FenkSDK/ui/PlayerEvents.h"
#include "FenkSDK/ui/PlayerPage.h"
#include "FenkSDK/ui/ScreenIds.h"

#include <algorithm>
#include <array>
#include <utility>

namespace fenk {
namespace {

constexpr std::array<std::string_view, 3> kMediaTypes{"video", "video:mov", "video:mp4"};
constexpr std::string_view kOnlineVideoType = "video:youtube";
constexpr std::string_view kImageType = "image";
constexpr std::string_view kTextType = "text";
// The online player's page loads nothing of its own; its script comes from the player's address.
constexpr std::string_view kPlayerPageBase = "about:blank";

constexpr ImageLimits kImageLimits{std::chrono::seconds(60), 16 * 1024 * 1024};

enum class ScreenKind { image, media, player, legal };

struct Presentation {
    ScreenId id;
    ScreenKind kind;
    std::string redirectLink;
    std::optional<Data> portrait;
    std::optional<Data> landscape;
    PlayerBridgeState player;
};

const std::optional<Data>& imageFor(const Presentation& presentation, Size size) {
    return size.width < size.height ? presentation.portrait : presentation.landscape;
}

std::optional<std::string> alertBody(const FenkPushNotification& notification) {
    if (!notification.aps || !notification.aps->alert) return std::nullopt;
    return notification.aps->alert->body;
}

}  // namespace

struct ContentPresenter::State : std::enable_shared_from_this<State> {
    State(Collaborators collaborators_, std::shared_ptr<DispatchQueue> mainQueue_)
        : collaborators(std::move(collaborators_)),
          mainQueue(std::move(mainQueue_)),
          toasts(collaborators.ui, mainQueue) {}

    Ui& ui() const { return *collaborators.ui; }

    void listen() {
        const std::weak_ptr<State> weak = weak_from_this();
        ui().setEvents(UiEvents{
            .tapped = whileAlive(weak, [](State& state, ScreenId id, Control control) { state.tapped(id, control); }),
            .media = whileAlive(weak, [](State& state, ScreenId id, MediaEvent event) {
                // A player plays as soon as it can; failing and ending leave it as it is for the user to close.
                if (event == MediaEvent::ready && state.find(id)) state.ui().play(id);
            }),
            .resized = whileAlive(weak, [](State& state, ScreenId id, Size size) {
                const auto* presentation = state.find(id);
                if (presentation && presentation->kind == ScreenKind::image) {
                    state.ui().showImage(id, imageFor(*presentation, size));
                }
            }),
            .pageMessage = whileAlive(weak, [](State& state, ScreenId id, const std::string& message) {
                if (const auto event = eventFromMessage(message)) state.playerEvent(id, *event);
            }),
            .loadFinished = {},
            .navigation = [weak](ScreenId id, const std::optional<std::string>& url) {
                const auto state = weak.lock();
                // The legal pages may link to one another, but only on the web.
                if (state && state->isLegal(id)) return url && isWellFormedUrl(*url);
                const auto decision = decideNavigation(url ? std::optional<std::string_view>(*url) : std::nullopt);
                if (state && decision.event) state->playerEvent(id, *decision.event);
                return decision.policy == NavigationPolicy::Allow;
            },
            .browserClosed = whileAlive(weak, [](State& state) {
                if (state.collaborators.browserClosed) state.collaborators.browserClosed();
            }),
        });
    }

    bool isLegal(ScreenId id) {
        const auto* presentation = find(id);
        return presentation && presentation->kind == ScreenKind::legal;
    }

    Presentation* find(ScreenId id) {
        const auto found = std::ranges::find(shown, id, &Presentation::id);
        return found == shown.end() ? nullptr : &*found;
    }

    // False when there is no window to show it over (it may have gone while a download ran).
    bool attach(Presentation presentation, Screen screen) {
        if (!ui().hasWindow()) return false;
        const ScreenId id = presentation.id;
        shown.push_back(std::move(presentation));
        ui().present(id, std::move(screen));
        return true;
    }

    void revealCloseLater(ScreenId id) {
        mainQueue->asyncAfter(kCloseRevealDelay, [weak = weak_from_this(), id] {
            const auto state = weak.lock();
            if (state && state->find(id)) state->ui().revealClose(id);
        });
    }

    void presentText(const FenkPushNotification& notification) {
        // No title: a toast without a message is refused rather than shown as an empty box.
        toasts.makeFenkToast(alertBody(notification), kTextToastSeconds, FenkToastPosition::center, std::nullopt,
                             std::nullopt, toasts.settings().style, [](bool) {});
    }

    void presentMedia(const FenkPushNotification& notification) {
        Presentation presentation{nextScreenId(), ScreenKind::media, redirectLink(notification.gTarget, *collaborators.preferences), {}, {}, {}};
        const ScreenId id = presentation.id;
        auto url = notification.gSourceVideo;
        // A link that is not http(s) plays nothing rather than reaching the media framework.
        if (url && !isWellFormedUrl(*url)) url.reset();
        if (attach(std::move(presentation), MediaScreen{MediaMode::video, std::move(url), std::nullopt, true})) {
            revealCloseLater(id);
        }
    }

    void presentOnlineVideo(const FenkPushNotification& notification) {
        if (!notification.gSourceVideo) return;
        resolveVideoPage(*collaborators.http, *notification.gSourceVideo,
                         [weak = weak_from_this(), queue = mainQueue](std::optional<std::string> page) {
                             queue->async([weak, page = std::move(page)] {
                                 if (const auto state = weak.lock()) state->showPlayer(extractVideoId(page.value_or("")));
                             });
                         });
    }

    void showPlayer(const std::string& videoId) {
        // A page that names no video would be an empty player over the host's window.
        if (videoId.empty()) return;
        const PlayerVars playerVars{{"playsinline", "0"}, {"controls", "1"}, {"showinfo", "1"}};
        auto page = videoPage(videoId, playerVars, collaborators.playerScriptAddress);
        if (!page) return;
        const ScreenId id = nextScreenId();
        // The player's own close is there from the start.
        if (attach(Presentation{id, ScreenKind::player, {}, {}, {}, {}},
                   PageScreen{std::move(*page), std::string(kPlayerPageBase)})) {
            ui().revealClose(id);
        }
    }

    // Both variants download at once; the screen comes when both have arrived or failed.
    void presentImage(const FenkPushNotification& notification) {
        struct PendingImage {
            Presentation presentation;
            int waiting = 2;
        };
        const auto pending = std::make_shared<PendingImage>(PendingImage{
            {nextScreenId(), ScreenKind::image, redirectLink(notification.gTarget, *collaborators.preferences), {}, {}, {}}});
        const auto fetchInto = [&](const std::optional<std::string>& link, std::optional<Data> Presentation::*variant) {
            const auto arrived = [weak = weak_from_this(), queue = mainQueue, pending, variant](std::optional<Data> image) {
                queue->async([weak, pending, variant, image = std::move(image)]() mutable {
                    pending->presentation.*variant = std::move(image);
                    if (--pending->waiting > 0) return;
                    if (const auto state = weak.lock()) state->showImage(std::move(pending->presentation));
                });
            };
            if (!link) return arrived(std::nullopt);
            // A link may hold characters a URL cannot (a space); they are escaped before the link is judged.
            downloadImage(*collaborators.http, encodeUrlText(*link), kImageLimits, arrived);
        };
        fetchInto(notification.gSourceImagePortrait, &Presentation::portrait);
        fetchInto(notification.gSourceImageLandscape, &Presentation::landscape);
    }

    void showImage(Presentation presentation) {
        const ScreenId id = presentation.id;
        ImageScreen screen{imageFor(presentation, ui().windowSize()), true};
        if (attach(std::move(presentation), std::move(screen))) revealCloseLater(id);
    }

    void tapped(ScreenId id, Control control) {
        if (control == Control::toast) return toasts.toastTapped(id);
        const auto* presentation = find(id);
        if (!presentation) return;
        if (control == Control::redirect) {
            if (isWellFormedUrl(presentation->redirectLink)) ui().openExternal(presentation->redirectLink);
            if (presentation->kind == ScreenKind::legal) {
                collaborators.notificationCenter->post(kTacShowed, UserInfo{{std::string(kClosePopupScreenKey), id}});
            }
            return;
        }
        switch (presentation->kind) {
            case ScreenKind::player:
                // The online player closes itself, without announcing it.
                ui().evaluateScript(id, commandScript(PlayerCommand::Stop), [](std::optional<std::string>) {});
                close(id);
                return;
            case ScreenKind::media:
                ui().pause(id);
                break;
            case ScreenKind::image:
            case ScreenKind::legal:
                break;
        }
        collaborators.notificationCenter->post(kClosePopup, UserInfo{{std::string(kClosePopupScreenKey), id}});
    }

    void playerEvent(ScreenId id, const PlayerEvent& event) {
        auto* presentation = find(id);
        if (!presentation || presentation->kind != ScreenKind::player) return;
        auto& player = presentation->player;
        if (player.apply(event) != PlayerBridgeOutcome::Ready || !player.ready) return;
        const bool playing = player.playerState == FenkYTPlayerState::Playing;
        ui().evaluateScript(id, commandScript(playing ? PlayerCommand::Pause : PlayerCommand::Play),
                            [](std::optional<std::string>) {});
    }

    void close(ScreenId id) {
        const auto found = std::ranges::find(shown, id, &Presentation::id);
        if (found == shown.end()) return;
        const bool legal = found->kind == ScreenKind::legal;
        shown.erase(found);
        ui().dismiss(id);
        if (legal && collaborators.legalScreenGone) collaborators.legalScreenGone();
    }

    const Collaborators collaborators;
    const std::shared_ptr<DispatchQueue> mainQueue;
    FenkToasts toasts;
    std::vector<Presentation> shown;  // oldest first
};

ContentPresenter::ContentPresenter(Collaborators collaborators) {
    auto mainQueue = collaborators.dispatcher->mainQueue();
    state_ = std::make_shared<State>(std::move(collaborators), std::move(mainQueue));
    state_->listen();
}

ContentPresenter::~ContentPresenter() {
    for (const auto& presentation : std::exchange(state_->shown, {})) state_->ui().dismiss(presentation.id);
}

void ContentPresenter::presentContent(const FenkPushNotification& notification) {
    // Without a window nothing is downloaded either.
    if (!notification.gType || !state_->ui().hasWindow()) return;
    const std::string_view type = *notification.gType;
    if (type == kTextType) {
        state_->presentText(notification);
    } else if (std::ranges::find(kMediaTypes, type) != kMediaTypes.end()) {
        state_->presentMedia(notification);
    } else if (type == kOnlineVideoType) {
        state_->presentOnlineVideo(notification);
    } else if (type == kImageType) {
        state_->presentImage(notification);
    }
}

bool ContentPresenter::openWebPage(const std::optional<std::string>& link) {
    if (!link || !isWellFormedUrl(*link) || !state_->ui().hasWindow()) return false;
    state_->ui().openInAppBrowser(*link);
    return true;
}

bool ContentPresenter::presentLegalScreen(const std::string& summaryLink, const std::string& termsLink) {
    if (!isWellFormedUrl(summaryLink)) return false;
    const ScreenId id = nextScreenId();
    if (!state_->attach(Presentation{id, ScreenKind::legal, termsLink, {}, {}, {}},
                        LegalScreen{summaryLink, !termsLink.empty()})) {
        return false;
    }
    state_->ui().revealClose(id);
    return true;
}

void ContentPresenter::closePopup(std::optional<ScreenId> id) {
    if (state_->shown.empty()) return;
    state_->close(id.value_or(state_->shown.back().id));
}

std::vector<ScreenId> ContentPresenter::presentations() const {
    std::vector<ScreenId> ids;
    for (const auto& presentation : state_->shown) ids.push_back(presentation.id);
    return ids;
}

FenkToasts& ContentPresenter::toasts() { return state_->toasts; }

}  // namespace fenk
