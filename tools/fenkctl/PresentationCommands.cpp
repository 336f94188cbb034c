#include "FenkSDK/FenkManager.h"
#include "FenkSDK/engagement/ContentPresenter.h"
#include "FenkSDK/engagement/FenkPushNotification.h"
#include "FenkSDK/ports/Application.h"
#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/runtime/NotificationCenter.h"
#include "adapters/linux/LinuxEnvironment.h"
#include "adapters/linux/RedirectingHttp.h"
#include "tools/fenkctl/EventPrinter.h"
#include "tools/fenkctl/EventTracing.h"
#include "tools/fenkctl/PresentationCommands.h"
#include "tools/fenkctl/WindowHost.h"

#include <chrono>
#include <fstream>
#include <iostream>
#include <iterator>
#include <utility>
#include <vector>

namespace fenk {
namespace {

using namespace std::chrono_literals;

constexpr std::size_t kMaxPayloadBytes = 64 * 1024;

// The payload's text, or none (with a line on stderr) when it cannot be read or is too large to be one.
std::optional<std::string> readPayload(const std::string& source) {
    std::ifstream file;
    if (source != "-") {
        file.open(source, std::ios::binary);
        if (!file) {
            std::cerr << "fenkctl: cannot read " << source << '\n';
            return std::nullopt;
        }
    }
    std::istream& in = source == "-" ? std::cin : file;
    std::string text(kMaxPayloadBytes + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (text.size() > kMaxPayloadBytes) {
        std::cerr << "fenkctl: a push payload is at most 64 KiB\n";
        return std::nullopt;
    }
    return text;
}

// Every windowed command runs the SDK with the Linux adapters, its main queue driven by the window's loop.
int runWindowed(const CommandLine& commandLine, const std::filesystem::path& dataFolder, std::string playerScript,
                WindowStart start) {
    auto environment = makeLinuxEnvironment(dataFolder, MainQueueDriver::host);
    const auto dispatcher = std::dynamic_pointer_cast<ThreadDispatcher>(environment.dispatcher);
    if (commandLine.connectTo) {
        environment.http = std::make_shared<RedirectingHttp>(environment.http, *commandLine.connectTo);
    }
    environment.playerScriptAddress = std::move(playerScript);
    EventPrinter printer(commandLine.json ? EventPrinter::Format::json : EventPrinter::Format::plain, std::cout);
    EventTracing tracing(commandLine.json, *environment.notificationCenter, printer);
    return runInWindow(std::move(environment), dispatcher, std::move(start));
}

struct TourStep {
    const char* description;
    FenkPushNotification content;
};

std::vector<TourStep> tourSteps(const std::string& server) {
    const auto media = [&](const char* name) { return server + "/media/" + name; };
    const Aps welcome{Alert{"Welcome to the tour of Fenk's screens"}};
    const Aps goodbye{Alert{"That was every kind of screen. Close the window to end."}};
    return {
        {"a toast", {.aps = welcome, .gType = "text"}},
        {"a full-screen image: turn the window to see the landscape one; its close button shows after 5 s",
         {.gType = "image",
          .gSourceImagePortrait = media("poster-portrait.png"),
          .gSourceImageLandscape = media("poster-landscape.png"),
          .gTarget = server + "/pages/offer"}},
        {"a video", {.gType = "video", .gSourceVideo = media("clip.avi"), .gTarget = server + "/pages/offer"}},
        {"the online video player", {.gType = "video:youtube", .gSourceVideo = server + "/pages/video"}},
        {"a last toast", {.aps = goodbye, .gType = "text"}},
    };
}

constexpr Duration kToastStay = 4s;
// Long enough to see the close button come.
constexpr Duration kScreenStay = 7s;

// Shows step `index` and, after its stay, closes it as its close button would and goes on to the next; after
// the last one the window closes.
void showTourStep(const WindowSession& session, std::shared_ptr<const std::vector<TourStep>> steps, std::size_t index) {
    if (index > 0) session.manager->closePopup(Notification{});
    if (index == steps->size()) return session.quit();
    const TourStep& step = (*steps)[index];
    std::cout << "tour: " << step.description << std::endl;
    session.manager->presentContent(step.content);
    const Duration stay = step.content.gType == "text" ? kToastStay : kScreenStay;
    session.mainQueue->asyncAfter(stay, [weak = std::weak_ptr(session.manager), session, steps, index] {
        if (weak.lock()) showTourStep(session, steps, index + 1);
    });
}

}  // namespace

int runPush(const CommandLine& commandLine, const std::filesystem::path& dataFolder, const PushCommand& push) {
    const auto text = readPayload(push.source);
    if (!text) return 1;
    std::string error;
    auto notification = json::decode<FenkPushNotification>(*text, &error);
    if (!notification) {
        std::cerr << "fenkctl: not a push payload: " << error << '\n';
        return 1;
    }
    if (commandLine.ui == UiChoice::none) {
        std::cout << "no window: nothing is shown (fenkctl --ui gtk push shows it)\n";
        return 0;
    }
    return runWindowed(commandLine, dataFolder, {},
                       [content = std::move(*notification)](const WindowSession& session) {
                           session.manager->presentContent(content);
                       });
}

int runLegal(const CommandLine& commandLine, const std::filesystem::path& dataFolder, const LegalCommand& legal) {
    return runWindowed(commandLine, dataFolder, {}, [update = legal.update](const WindowSession& session) {
        if (update) return session.manager->legalPermissions();
        Environment::current().application->didBecomeActive();
    });
}

int runTour(const CommandLine& commandLine, const std::filesystem::path& dataFolder, const TourCommand& tour) {
    auto steps = std::make_shared<const std::vector<TourStep>>(tourSteps(tour.mediaServer));
    return runWindowed(commandLine, dataFolder, tour.mediaServer + "/media/player.js",
                       [steps](const WindowSession& session) { showTourStep(session, steps, 0); });
}

}  // namespace fenk
