#include "FenkSDK/ui/FenkToasts.h"

#include "FenkSDK/runtime/Console.h"
#include "FenkSDK/ui/ScreenIds.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <iterator>
#include <utility>
#include <vector>

namespace fenk {
namespace {

// A day is as good as forever for a toast, and keeps the arithmetic in range; a negative or undefined time is
// no time.
Duration toastTime(double seconds) {
    constexpr double kLongest = 24 * 60 * 60;
    if (!(seconds > 0)) return Duration::zero();
    return std::chrono::round<Duration>(std::chrono::duration<double>(std::min(seconds, kLongest)));
}

struct ToastRequest {
    Toast toast;
    Duration duration;
    Point centre;
    FenkToasts::Completion completion;
};

struct ShownToast {
    ScreenId id;
    Duration fade;
    bool tapToDismiss;
    FenkToasts::Completion completion;
    bool going = false;
};

}  // namespace

struct FenkToasts::State : std::enable_shared_from_this<State> {
    State(std::shared_ptr<Ui> ui_, std::shared_ptr<DispatchQueue> mainQueue_)
        : ui(std::move(ui_)), mainQueue(std::move(mainQueue_)) {}

    void show(ToastRequest request) {
        if (settings.isQueueEnabled && !shown.empty()) {
            waiting.push_back(std::move(request));
            return;
        }
        display(std::move(request));
    }

    void display(ToastRequest request) {
        const ScreenId id = nextScreenId();
        const Duration fade = toastTime(request.toast.style.fadeDuration);
        shown.push_back({id, fade, settings.isTapToDismissEnabled, std::move(request.completion)});
        ui->showToast(id, request.toast, request.centre);
        // The stay is counted from the end of the fade-in.
        later(fade + request.duration, [id](State& state) { state.hide(id, false); });
    }

    // The toast fades out; once it is gone its completion runs and the next waiting toast comes.
    void hide(ScreenId id, bool tapped) {
        const auto toast = find(id);
        if (toast == shown.end() || toast->going) return;
        toast->going = true;
        later(toast->fade, [id, tapped](State& state) { state.gone(id, tapped); });
        ui->dismiss(id);
    }

    void gone(ScreenId id, bool tapped) {
        const auto toast = find(id);
        if (toast == shown.end()) return;
        const Completion completion = std::move(toast->completion);
        shown.erase(toast);
        if (completion) completion(tapped);
        showNextWaiting();
    }

    void showNextWaiting() {
        if (waiting.empty() || (settings.isQueueEnabled && !shown.empty())) return;
        ToastRequest next = std::move(waiting.front());
        waiting.pop_front();
        display(std::move(next));
    }

    std::vector<ShownToast>::iterator find(ScreenId id) {
        return std::ranges::find(shown, id, &ShownToast::id);
    }

    // Runs `step` after `delay` unless the toasts are gone by then.
    template <class Step>
    void later(Duration delay, Step step) {
        mainQueue->asyncAfter(delay, [weak = weak_from_this(), step = std::move(step)] {
            if (const auto state = weak.lock()) step(*state);
        });
    }

    const std::shared_ptr<Ui> ui;
    const std::shared_ptr<DispatchQueue> mainQueue;
    FenkToastManager settings;
    std::vector<ShownToast> shown;  // oldest first, with those fading out
    std::deque<ToastRequest> waiting;
};

FenkToasts::FenkToasts(std::shared_ptr<Ui> ui, std::shared_ptr<DispatchQueue> mainQueue)
    : state_(std::make_shared<State>(std::move(ui), std::move(mainQueue))) {}

FenkToasts::~FenkToasts() {
    state_->waiting.clear();
    for (const auto& toast : std::exchange(state_->shown, {})) state_->ui->dismiss(toast.id);
}

FenkToastManager& FenkToasts::settings() { return state_->settings; }

void FenkToasts::makeFenkToast(std::optional<std::string> message, double durationSeconds,
                               FenkToastPosition position, std::optional<std::string> title,
                               std::optional<Data> image, const FenkToastStyle& style, Completion completion) {
    if (!message && !title && !image) {
        Console::print("Error: message, title, and image are all nil");
        return;
    }
    Ui& ui = *state_->ui;
    if (!ui.hasWindow()) return;
    const Size window = ui.windowSize();
    Toast toast{std::move(title), std::move(message), std::move(image), style};
    const Size size =
        ui.measureToast(toast, {window.width * style.maxWidthPercentage, window.height * style.maxHeightPercentage});
    const Point centre = toastCentre(position, window, size.height, ui.safeAreaInsets(), style);
    state_->show({std::move(toast), toastTime(durationSeconds), centre, std::move(completion)});
}

void FenkToasts::hideFenkToast() {
    const auto& shown = state_->shown;
    const auto oldest = std::ranges::find(shown, false, &ShownToast::going);
    if (oldest != shown.end()) state_->hide(oldest->id, false);
}

void FenkToasts::hideAllFenkToasts(bool clearQueue) {
    if (clearQueue) clearFenkToastQueue();
    std::vector<ScreenId> ids;
    std::ranges::transform(state_->shown, std::back_inserter(ids), &ShownToast::id);
    for (const ScreenId id : ids) state_->hide(id, false);
}

void FenkToasts::clearFenkToastQueue() { state_->waiting.clear(); }

void FenkToasts::toastTapped(ScreenId id) {
    const auto toast = state_->find(id);
    if (toast != state_->shown.end() && toast->tapToDismiss) state_->hide(id, true);
}

}  // namespace fenk
