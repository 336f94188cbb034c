// fenkctl run: a whole session of the host, read as JSON lines on standard input and played through the manager.
#include "tools/fenkctl/RunCommand.h"

#include "FenkSDK/FenkManager.h"
#include "FenkSDK/engagement/PushPayloadJson.h"
#include "FenkSDK/ports/Application.h"
#include "adapters/linux/LinuxEnvironment.h"
#include "adapters/linux/RedirectingHttp.h"
#include "adapters/linux/ThreadDispatcher.h"
#include "adapters/linux/TrackedHttp.h"
#include "tools/fenkctl/EventPrinter.h"
#include "tools/fenkctl/EventTracing.h"
#include "tools/fenkctl/PrintedUi.h"
#include "tools/fenkctl/WindowHost.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <stop_token>
#include <thread>

namespace fenk {
namespace {

constexpr auto kTimeout = std::chrono::seconds(120);
constexpr double kLongestWaitMs = 600'000;
// A line longer than the largest payload with room for its instruction is cut, and each piece reported.
constexpr std::size_t kLongestLine = kMaxPushPayloadBytes + 1024;

template <class T>
const T* memberAs(const UserInfo& object, const std::string& key) {
    const auto found = object.find(key);
    return found == object.end() ? nullptr : std::any_cast<T>(&found->second);
}

// Standard input, line by line, for a reader that may be asked to stop: it never blocks for long then.
class InputLines {
public:
    std::optional<std::string> next(const std::stop_token& stop) {
        while (!stop.stop_requested()) {
            if (const auto end = buffered_.find('\n'); end != std::string::npos || buffered_.size() > kLongestLine) {
                const auto length = std::min(end, kLongestLine);
                std::string line = buffered_.substr(0, length);
                buffered_.erase(0, length == end ? length + 1 : length);
                return line;
            }
            pollfd input{STDIN_FILENO, POLLIN, 0};
            const int ready = ::poll(&input, 1, stop.stop_possible() ? 100 : -1);
            if (ready < 0 && errno != EINTR) break;
            if (ready <= 0) continue;
            char chunk[4096];
            const auto got = ::read(STDIN_FILENO, chunk, sizeof chunk);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) break;
            buffered_.append(chunk, static_cast<std::size_t>(got));
        }
        if (buffered_.empty()) return std::nullopt;
        return std::exchange(buffered_, {});
    }

private:
    std::string buffered_;
};

// A completion that prints what `operation` answered as an event.
auto printedCompletion(EventPrinter& printer, std::string_view operation) {
    return [&printer, operation](auto value) { printer.completion(operation, CompletionValue(std::move(value))); };
}

// Plays each instruction as the host application would: through the manager, or through the application's
// lifecycle, whose notifications the manager observes.
class Session {
public:
    // `printedUi`: the window the user taps through, with --ui print.
    Session(std::shared_ptr<FenkManager> manager, std::shared_ptr<Application> application, EventPrinter& printer,
            std::shared_ptr<PrintedUi> printedUi = nullptr)
        : manager_(std::move(manager)),
          application_(std::move(application)),
          printer_(printer),
          printedUi_(std::move(printedUi)) {}

    // Empty when the line was played; otherwise why it is not an instruction.
    std::string play(std::string_view line) {
        std::string error;
        const auto instruction = pushPayloadFromJson(line, error);
        if (!instruction) return "not an instruction: " + error;
        if (instruction->size() != 1) return "an instruction is an object of one member";
        const auto& [name, value] = *instruction->begin();
        const auto* object = std::any_cast<UserInfo>(&value);
        if (name == "push") {
            if (!object) return "push takes a payload object";
            manager_->handlePushNotification(*object);
        } else if (name == "lifecycle") {
            const auto* step = std::any_cast<std::string>(&value);
            if (!step || !announce(*step)) return R"(lifecycle is "launch", "active", "resign", "background" or "foreground")";
        } else if (name == "launch") {
            const auto* notification = object ? memberAs<UserInfo>(*object, "notification") : nullptr;
            if (!notification) return R"(launch takes {"notification": PAYLOAD})";
            application_->didFinishLaunching({{std::string(ApplicationLaunchOptionsRemoteNotificationKey), *notification}});
        } else if (name == "permission") {
            const auto* permission = object ? memberAs<std::string>(*object, "name") : nullptr;
            const auto* granted = object ? memberAs<bool>(*object, "value") : nullptr;
            if (!permission || !granted) return R"(permission takes {"name": TEXT, "value": true|false})";
            manager_->setUserPermission(*permission, *granted, printedCompletion(printer_, "setUserPermission"));
        } else if (name == "register") {
            const auto* platform = object ? memberAs<std::string>(*object, "platform") : nullptr;
            const auto* appKey = object ? memberAs<std::string>(*object, "appKey") : nullptr;
            const auto* tracking = object ? memberAs<bool>(*object, "tracking") : nullptr;
            if (!platform || !appKey) return R"(register takes {"platform": URL, "appKey": KEY, "tracking": true|false})";
            manager_->registerDevice(*appKey, *platform, tracking && *tracking, printedCompletion(printer_, "registerDevice"));
        } else if (name == "tap") {
            const auto* control = std::any_cast<std::string>(&value);
            if (!control || (*control != "close" && *control != "accept")) return R"(tap is "close" or "accept")";
            if (!printedUi_) return "tap needs --ui print";
            printedUi_->tapTopScreen(*control == "close" ? Control::close : Control::redirect);
        } else if (name == "closeBrowser") {
            if (!printedUi_) return "closeBrowser needs --ui print";
            printedUi_->closeBrowser();
        } else if (name == "wait") {
            const auto milliseconds = std::any_cast<bool>(&value) ? std::nullopt : payloadNumber(value);
            if (!milliseconds || !(*milliseconds >= 0 && *milliseconds <= kLongestWaitMs)) {
                return "wait takes a number of milliseconds from 0 to 600000";
            }
            std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(*milliseconds));
        } else {
            return "unknown instruction \"" + name + '"';
        }
        return {};
    }

private:
    bool announce(const std::string& step) const {
        if (step == "launch") {
            application_->didFinishLaunching();
        } else if (step == "active") {
            application_->didBecomeActive();
        } else if (step == "resign") {
            application_->willResignActive();
        } else if (step == "background") {
            application_->didEnterBackground();
        } else if (step == "foreground") {
            application_->willEnterForeground();
        } else {
            return false;
        }
        return true;
    }

    std::shared_ptr<FenkManager> manager_;
    std::shared_ptr<Application> application_;
    EventPrinter& printer_;
    std::shared_ptr<PrintedUi> printedUi_;
};

// Plays every line of standard input; `settle` runs after each and answers false when the SDK is stuck.
bool playInput(Session& session, const std::stop_token& stop, const std::function<bool()>& settle) {
    InputLines input;
    std::size_t number = 0;
    while (const auto line = input.next(stop)) {
        ++number;
        if (line->find_first_not_of(" \t\r") == std::string::npos) continue;
        if (const auto error = session.play(*line); !error.empty()) {
            std::cerr << "fenkctl: line " << number << ": " << error << std::endl;
        }
        if (!settle()) return false;
    }
    return true;
}

Environment sessionEnvironment(const CommandLine& commandLine, const std::filesystem::path& dataFolder,
                               MainQueueDriver driver) {
    auto environment = makeLinuxEnvironment(dataFolder, driver);
    if (commandLine.connectTo) {
        environment.http = std::make_shared<RedirectingHttp>(environment.http, *commandLine.connectTo);
    }
    environment.http = std::make_shared<TrackedHttp<ThreadDispatcher>>(
        environment.http, std::dynamic_pointer_cast<ThreadDispatcher>(environment.dispatcher));
    return environment;
}

// Without a window every line's work is done before the next is read, so events come in the input's order.
int runWithoutWindow(const CommandLine& commandLine, const std::filesystem::path& dataFolder, EventPrinter& printer) {
    auto environment = sessionEnvironment(commandLine, dataFolder, MainQueueDriver::sdk);
    const auto dispatcher = std::dynamic_pointer_cast<ThreadDispatcher>(environment.dispatcher);
    std::shared_ptr<PrintedUi> printedUi;
    if (commandLine.ui == UiChoice::print) {
        printedUi = std::make_shared<PrintedUi>(printer, dispatcher->mainQueue());
        environment.ui = printedUi;
    }
    const EventTracing tracing(commandLine.json, *environment.notificationCenter, printer);
    Environment::install(environment);
    bool settled = false;
    {
        Session session(FenkManager::sharedManager(), environment.application, printer, printedUi);
        const auto settle = [&dispatcher] { return dispatcher->waitUntilIdle(kTimeout); };
        settled = playInput(session, {}, settle) && settle();
    }
    if (!settled) {
        std::cerr << "fenkctl: the SDK did not finish its work within " << kTimeout.count() << " s\n";
        std::cout.flush();
        // Work may still be running and would reach the printer on this stack: leave without tearing down.
        std::_Exit(1);
    }
    // Where the session left tracking: the owner's terms and the user's answers decide it.
    dispatcher->mainQueue()->sync([&printer] {
        printer.event("tracking", {{"started", FenkManager::sharedManager()->locationManager() ? "true" : "false"}});
    });
    FenkManager::resetSharedManager();
    dispatcher->waitUntilIdle(kTimeout);
    return 0;
}

// With a window its loop drives the main queue, so the input is read on a thread of its own; the window stays
// after the end of the input, until it is closed.
int runInItsWindow(const CommandLine& commandLine, const std::filesystem::path& dataFolder, EventPrinter& printer) {
    auto environment = sessionEnvironment(commandLine, dataFolder, MainQueueDriver::host);
    const auto dispatcher = std::dynamic_pointer_cast<ThreadDispatcher>(environment.dispatcher);
    const EventTracing tracing(commandLine.json, *environment.notificationCenter, printer);
    std::jthread reader;
    return runInWindow(environment, dispatcher,
                       [&reader, &printer, application = environment.application](const WindowSession& window) {
                           reader = std::jthread([manager = window.manager, application, &printer](std::stop_token stop) {
                               Session session(manager, application, printer);
                               playInput(session, stop, [] { return true; });
                           });
                       });
}

}  // namespace

int runSession(const CommandLine& commandLine, const std::filesystem::path& dataFolder) {
    EventPrinter printer(commandLine.json ? EventPrinter::Format::json : EventPrinter::Format::plain, std::cout);
    return commandLine.ui == UiChoice::gtk ? runInItsWindow(commandLine, dataFolder, printer)
                                           : runWithoutWindow(commandLine, dataFolder, printer);
}

}  // namespace fenk
