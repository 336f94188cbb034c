// fenkctl: the reference host program. One process per command; see usageText() or `fenkctl --help`.
#include "FenkSDK/FenkManager.h"
#include "FenkSDK/runtime/Console.h"
#include "FenkSDK/runtime/Environment.h"
#include "FenkSDK/runtime/NotificationCenter.h"
#include "adapters/linux/DataFolder.h"
#include "adapters/linux/LinuxEnvironment.h"
#include "adapters/linux/RedirectingHttp.h"
#include "adapters/linux/ThreadDispatcher.h"
#include "adapters/linux/TrackedHttp.h"
#include "tools/fenkctl/CommandLine.h"
#include "tools/fenkctl/EventPrinter.h"
#include "tools/fenkctl/EventTracing.h"
#include "tools/fenkctl/LocationCommands.h"
#include "tools/fenkctl/PresentationCommands.h"
#include "tools/fenkctl/RunCommand.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>

namespace fenk {
namespace {

constexpr auto kTimeout = std::chrono::seconds(120);

template <class... Visitors>
struct Overloaded : Visitors... {
    using Visitors::operator()...;
};

// Starts the command's operation; `answered` turns true once its completion has run.
void startCommand(FenkManager& manager, const Command& command, EventPrinter& printer, std::atomic<bool>& answered) {
    auto report = [&printer, &answered](std::string_view operation) {
        return [&printer, &answered, operation](auto value) {
            printer.completion(operation, CompletionValue(std::move(value)));
            answered = true;
        };
    };
    std::visit(Overloaded{
                   [&](const RegisterCommand& registration) {
                       manager.registerDevice(registration.appKey, registration.platform, registration.tracking,
                                              report("registerDevice"));
                   },
                   [&](const TokenCommand& token) {
                       if (const auto* text = std::get_if<std::string>(&token.token)) {
                           manager.setNotificationsToken(*text, report("setNotificationsToken"));
                       } else {
                           manager.setDataNotificationsToken(std::get<Data>(token.token),
                                                             report("setDataNotificationsToken"));
                       }
                   },
                   [&](const DeviceIdCommand&) { report("getDeviceID")(manager.getDeviceID()); },
                   [&](const WhereCommand&) { manager.checkUserLocation(report("checkUserLocation")); },
                   [&](const PermissionCommand& permission) {
                       if (permission.value) {
                           manager.setUserPermission(permission.name, *permission.value, report("setUserPermission"));
                       } else {
                           manager.getUserPermission(permission.name, report("getUserPermission"));
                       }
                   },
                   [&](const GroupsCommand& groups) {
                       using enum GroupsCommand::Action;
                       switch (groups.action) {
                           case list: return manager.listGroups(report("listGroups"));
                           case subscribed: return manager.subscriptionGroups(report("subscriptionGroups"));
                           case find: return manager.findGroups(groups.argument, report("findGroups"));
                           case join: return manager.joinGroup(groups.argument, report("joinGroup"));
                           case leave: return manager.leaveGroup(groups.argument, report("leaveGroup"));
                       }
                   },
                   [&](const ProfileCommand&) { manager.getUserProfile(report("getUserProfile")); },
                   [&](const ExtraCommand& extra) { manager.updateExtraData(extra.text, report("updateExtraData")); },
                   [](const auto&) {},
               },
               command);
}

int runPlatformCommand(const CommandLine& commandLine, const std::filesystem::path& folder) {
    auto environment = makeLinuxEnvironment(folder);
    const auto dispatcher = std::dynamic_pointer_cast<ThreadDispatcher>(environment.dispatcher);
    if (commandLine.connectTo) {
        environment.http = std::make_shared<RedirectingHttp>(environment.http, *commandLine.connectTo);
    }
    environment.http = std::make_shared<TrackedHttp<ThreadDispatcher>>(environment.http, dispatcher);

    EventPrinter printer(commandLine.json ? EventPrinter::Format::json : EventPrinter::Format::plain, std::cout);
    EventTracing tracing(commandLine.json, *environment.notificationCenter, printer);
    Environment::install(environment);

    std::atomic<bool> answered{false};
    startCommand(*FenkManager::sharedManager(), commandLine.command, printer, answered);
    const bool idle = dispatcher->waitUntilIdle(kTimeout);
    if (!idle || !answered) {
        if (idle) {
            std::cerr << "fenkctl: the SDK finished its work without answering\n";
        } else {
            std::cerr << "fenkctl: the SDK did not finish its work within " << kTimeout.count() << " s\n";
        }
        std::cout.flush();
        // Work may still be running and would reach the printer on this stack: leave without tearing down.
        std::_Exit(1);
    }
    FenkManager::resetSharedManager();
    dispatcher->waitUntilIdle(kTimeout);
    return 0;
}

int run(const CommandLine& commandLine) {
    const auto folder = commandLine.dataFolder.value_or(fenkDataFolder());
    if (folder.empty() || !makePrivateFolder(folder)) {
        std::cerr << "fenkctl: cannot create the data folder " << folder << '\n';
        return 1;
    }
    return std::visit(Overloaded{
                          [&](const TrackCommand& track) { return runTrack(commandLine, folder, track); },
                          [&](const ReplayCommand& replay) { return runReplay(commandLine, folder, replay); },
                          [&](const PlacesCommand&) { return printPlaces(folder); },
                          [&](const PushCommand& push) { return runPush(commandLine, folder, push); },
                          [&](const TourCommand& tour) { return runTour(commandLine, folder, tour); },
                          [&](const LegalCommand& legal) { return runLegal(commandLine, folder, legal); },
                          [&](const RunCommand&) { return runSession(commandLine, folder); },
                          [&](const auto&) { return runPlatformCommand(commandLine, folder); },
                      },
                      commandLine.command);
}

}  // namespace
}  // namespace fenk

int main(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    auto parsed = fenk::parseCommandLine(arguments);
    if (const auto* error = std::get_if<fenk::UsageError>(&parsed)) {
        std::cerr << "fenkctl: " << error->message << "\n\n" << fenk::usageText();
        return 2;
    }
    const auto& commandLine = std::get<fenk::CommandLine>(parsed);
    if (std::holds_alternative<fenk::HelpCommand>(commandLine.command)) {
        std::cout << fenk::usageText();
        return 0;
    }
    return fenk::run(commandLine);
}
