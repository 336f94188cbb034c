#include "FenkSDK/ui/FenkToasts.h"

#include "adapters/fake/FakeDispatcher.h"
#include "adapters/fake/RecordingUi.h"
#include "support/ConsoleCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace fenk {
namespace {

using namespace std::chrono_literals;

// Toasts over a recording toolkit in virtual time, with the user's toast taps routed to them as a host does.
struct ToastBench {
    ToastBench() {
        UiEvents events;
        events.tapped = [this](ScreenId id, Control control) {
            if (control == Control::toast) toasts.toastTapped(id);
        };
        ui->setEvents(std::move(events));
    }

    // A toast of `message` with the settings' duration, position and style; its completion is logged.
    void make(const std::string& message) {
        const auto& settings = toasts.settings();
        toasts.makeFenkToast(message, settings.duration, settings.position, std::nullopt, std::nullopt, settings.style,
                             [this, message](bool tapped) { completions.emplace_back(message, tapped); });
    }
    std::vector<UiCall> shownToasts() const { return ui->callsOf(UiCall::Kind::showToast); }
    // The message of each toast on screen now, oldest first.
    std::vector<std::string> onScreen() const {
        std::vector<std::string> messages;
        for (const UiCall& call : shownToasts()) {
            if (std::ranges::count(ui->shown(), call.id)) messages.push_back(*call.toast->message);
        }
        return messages;
    }

    FakeDispatcher dispatcher;
    std::shared_ptr<RecordingUi> ui = std::make_shared<RecordingUi>(dispatcher.mainQueue());
    FenkToasts toasts{ui, dispatcher.mainQueue()};
    std::vector<std::pair<std::string, bool>> completions;
};

using Strings = std::vector<std::string>;
using Completions = std::vector<std::pair<std::string, bool>>;

TEST(FenkToastsTest, ShowsAToastWithAnyContentOverAWindow) {
    const struct {
        const char* name;
        std::optional<std::string> message;
        std::optional<std::string> title;
        std::optional<Data> image;
        bool window;
        bool shown;
        Strings console;
    } cases[] = {
        {"nothing at all", std::nullopt, std::nullopt, std::nullopt, true, false,
         {"Error: message, title, and image are all nil"}},
        {"an empty title", std::nullopt, "", std::nullopt, true, true, {}},
        {"an image", std::nullopt, std::nullopt, toData("png"), true, true, {}},
        {"a message", "Hello", std::nullopt, std::nullopt, true, true, {}},
        {"no window", "Hello", "Title", std::nullopt, false, false, {}},
    };
    for (const auto& row : cases) {
        ConsoleCapture console;
        ToastBench bench;
        if (!row.window) bench.ui->setWindow(std::nullopt);
        bench.toasts.makeFenkToast(row.message, 3, FenkToastPosition::bottom, row.title, row.image, {}, {});
        EXPECT_EQ(bench.shownToasts().size(), row.shown ? 1U : 0U) << row.name;
        EXPECT_EQ(console.lines(), row.console) << row.name;
    }
}

// A toast 60 high in a 400 x 800 window whose bars cover 20 at the top and 30 at the bottom, measured within
// 80% of the window.
TEST(FenkToastsTest, ShowsEachPositionAtItsCentre) {
    const struct {
        FenkToastPosition position;
        Point centre;
    } cases[] = {
        {FenkToastPosition::top, {200, 10 + 20 + 30}},
        {FenkToastPosition::center, {200, 400}},
        {FenkToastPosition::bottom, {200, 800 - 30 - (10 + 30)}},
    };
    for (const auto& row : cases) {
        ToastBench bench;
        bench.ui->setSafeAreaInsets({20, 30});
        bench.toasts.settings().position = row.position;
        bench.make("Hello");
        const auto measured = bench.ui->callsOf(UiCall::Kind::measureToast);
        ASSERT_EQ(measured.size(), 1U);
        EXPECT_DOUBLE_EQ(measured[0].limit.width, 320);
        EXPECT_DOUBLE_EQ(measured[0].limit.height, 640);
        const auto shown = bench.shownToasts();
        ASSERT_EQ(shown.size(), 1U);
        EXPECT_DOUBLE_EQ(shown[0].centre.x, row.centre.x) << static_cast<int>(row.position);
        EXPECT_DOUBLE_EQ(shown[0].centre.y, row.centre.y) << static_cast<int>(row.position);
    }
}

// The stay starts once the fade-in ends; the completion runs once the fade-out ends.
TEST(FenkToastsTest, HidesOnceItsTimeIsUp) {
    const struct {
        double duration;
        double fade;
        Duration hiddenAt;
    } cases[] = {
        {3.0, 0.2, 3200ms},
        {1.5, 0.1, 1600ms},
        {-1, 0.2, 200ms},
        {std::numeric_limits<double>::quiet_NaN(), 0.2, 200ms},
    };
    for (const auto& row : cases) {
        ToastBench bench;
        bench.toasts.settings().duration = row.duration;
        bench.toasts.settings().style.fadeDuration = row.fade;
        bench.make("Hello");
        bench.dispatcher.advance(row.hiddenAt - 1ms);
        EXPECT_EQ(bench.onScreen(), Strings{"Hello"}) << row.duration;
        bench.dispatcher.advance(1ms);
        EXPECT_TRUE(bench.onScreen().empty()) << row.duration;
        EXPECT_TRUE(bench.completions.empty()) << row.duration;
        bench.dispatcher.advance(std::chrono::duration_cast<Duration>(std::chrono::duration<double>(row.fade)));
        EXPECT_EQ(bench.completions, (Completions{{"Hello", false}})) << row.duration;
    }
}

// A tap hides the toast early when tap to dismiss is on; later taps and the timer change nothing.
TEST(FenkToastsTest, ATapHidesItEarlyAndReportsIt) {
    for (const bool tapToDismiss : {true, false}) {
        ToastBench bench;
        bench.toasts.settings().isTapToDismissEnabled = tapToDismiss;
        bench.make("Hello");
        const ScreenId id = bench.shownToasts().at(0).id;
        bench.dispatcher.advance(1s);
        bench.ui->tap(id, Control::toast);
        bench.ui->tap(id + 1000, Control::toast);
        bench.dispatcher.advance(200ms);
        bench.ui->tap(id, Control::toast);
        bench.dispatcher.advance(10s);
        EXPECT_EQ(bench.completions, (Completions{{"Hello", tapToDismiss}})) << tapToDismiss;
        EXPECT_EQ(bench.ui->callsOf(UiCall::Kind::dismiss).size(), 1U) << tapToDismiss;
    }
}

// Without queueing a second toast shows at once over the first; with it, once the first has gone.
TEST(FenkToastsTest, ASecondToastWaitsOnlyWhenQueueing) {
    const struct {
        bool queue;
        Strings rightAfter;
        Strings afterTheFirst;
    } cases[] = {
        {false, {"first", "second"}, {"second"}},
        {true, {"first"}, {"second"}},
    };
    for (const auto& row : cases) {
        ToastBench bench;
        bench.toasts.settings().isQueueEnabled = row.queue;
        bench.make("first");
        bench.dispatcher.advance(1s);
        bench.toasts.settings().position = FenkToastPosition::top;
        bench.make("second");
        EXPECT_EQ(bench.onScreen(), row.rightAfter) << row.queue;
        bench.dispatcher.advance(2400ms);  // the first has faded out
        EXPECT_EQ(bench.onScreen(), row.afterTheFirst) << row.queue;
        bench.dispatcher.advance(10s);
        EXPECT_EQ(bench.completions, (Completions{{"first", false}, {"second", false}})) << row.queue;
        const auto shown = bench.shownToasts();
        ASSERT_EQ(shown.size(), 2U);
        EXPECT_DOUBLE_EQ(shown[1].centre.y, 10 + 60 / 2) << "the second at its own point";
    }
}

TEST(FenkToastsTest, HidingOnDemand) {
    using Hide = void (*)(FenkToasts&);
    const struct {
        const char* name;
        Hide hide;
        Strings onScreen;
    } cases[] = {
        {"the oldest", [](FenkToasts& toasts) { toasts.hideFenkToast(); }, {"second"}},
        {"all", [](FenkToasts& toasts) { toasts.hideAllFenkToasts(false); }, {"third"}},
        {"all and the queue", [](FenkToasts& toasts) { toasts.hideAllFenkToasts(true); }, {}},
        {"the queue", [](FenkToasts& toasts) { toasts.clearFenkToastQueue(); }, {"first", "second"}},
    };
    for (const auto& row : cases) {
        ToastBench bench;
        bench.make("first");
        bench.make("second");
        bench.toasts.settings().isQueueEnabled = true;
        bench.make("third");
        row.hide(bench.toasts);
        bench.dispatcher.advance(200ms);
        EXPECT_EQ(bench.onScreen(), row.onScreen) << row.name;
    }
}

// Toasts do not outlive their owner on screen, and their timers then do nothing.
TEST(FenkToastsTest, GoWithTheirOwner) {
    FakeDispatcher dispatcher;
    const auto ui = std::make_shared<RecordingUi>(dispatcher.mainQueue());
    bool completed = false;
    {
        FenkToasts toasts(ui, dispatcher.mainQueue());
        toasts.makeFenkToast("Hello", 3, FenkToastPosition::bottom, std::nullopt, std::nullopt, {},
                             [&](bool) { completed = true; });
    }
    EXPECT_TRUE(ui->shown().empty());
    dispatcher.advance(10s);
    EXPECT_FALSE(completed);
}

}  // namespace
}  // namespace fenk
