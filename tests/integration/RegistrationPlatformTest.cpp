// Registration as it ships (settings database, secure folder, libcurl, real threads) against fenk-platform
// on loopback; only the network's reachability is scripted, so that offline situations can be chosen.
#include "FenkSDK/UserDefault.h"
#include "FenkSDK/net/ConnectionMonitor.h"
#include "FenkSDK/registration/DeviceRegistration.h"
#include "FenkSDK/registration/RegistrationComponents.h"
#include "FenkSDK/runtime/AtomicBoolean.h"
#include "adapters/fake/FakeReachability.h"
#include "adapters/linux/LinuxEnvironment.h"
#include "adapters/linux/RedirectingHttp.h"
#include "adapters/linux/ThreadDispatcher.h"
#include "adapters/linux/TrackedHttp.h"
#include "support/SamplePlatform.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <regex>

using namespace std::chrono_literals;

namespace fenk {
namespace {

// The address grammar has no room for a port: the device registers this and is redirected to the port.
constexpr const char* kAddress = "http://127.0.0.1";
constexpr const char* kAppKey = "sample-app-key";         // the seed's app that answers creation with data
constexpr const char* kTicketAppKey = "ticket-app-key";   // ... and the one that answers with a ticket
constexpr const char* kDeviceId = "{id}";                 // stands for the resource id the device ends with
const std::string kAuthenticate = "/1.0/json/auth/user";
const std::string kUser = "/1.0/json/exec/soa.api.fenk/soa.api.user.";

enum class Network { online, offline, platformDown };

struct Situation {
    const char* name;
    bool knownDevice;
    Network network;
    const char* appKey = kAppKey;
    std::string address = kAddress;
    std::optional<FaultOrder> faults{};
    const char* expected = kDeviceId;
    bool trackingCheck = true;
    std::vector<std::string> paths{};
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const Situation& c, std::ostream* out) { *out << c.name; }

class RegistrationPlatformTest : public testing::TestWithParam<Situation> {
protected:
    RegistrationPlatformTest() {
        const std::string authority = "127.0.0.1:" + std::to_string(platform_->port());
        environment_.http =
            std::make_shared<TrackedHttp<ThreadDispatcher>>(std::make_shared<RedirectingHttp>(environment_.http, authority), dispatcher_);
        environment_.reachability = network_;
        components_ = makeRegistrationComponents(
            environment_, dispatcher_->makeSerialQueue("com.fenk.fenkQueue", QualityOfService::utility), running_,
            [environment = environment_] { return isConnectedToNetwork(environment); },
            [checks = trackingChecks_] { ++*checks; });
    }

    // Registers and waits until every piece of work it started has ended; the completion's value.
    std::optional<std::string> registerDevice(const std::string& appKey, const std::string& address) {
        auto results = std::make_shared<std::vector<std::optional<std::string>>>();
        auto mutex = std::make_shared<std::mutex>();
        components_.registration->registerDevice(appKey, address, true, [=, this](std::optional<std::string> result) {
            EXPECT_FALSE(running_->get());
            const std::scoped_lock lock(*mutex);
            results->push_back(std::move(result));
        });
        EXPECT_TRUE(dispatcher_->waitUntilIdle(30s)) << "the registration's work never ended";
        EXPECT_FALSE(running_->get());
        const std::scoped_lock lock(*mutex);
        EXPECT_EQ(results->size(), 1u);
        return results->empty() ? std::nullopt : results->front();
    }

    std::string storedResourceId() const {
        return environment_.preferences->string(settingsKeys::kKeyResourceId).value_or("");
    }

    TemporaryFolder platformFolder_;
    TemporaryFolder data_;
    std::unique_ptr<PlatformServer> platform_ = startSamplePlatform(platformFolder_.path());
    Environment environment_ = makeLinuxEnvironment(data_.path());
    std::shared_ptr<ThreadDispatcher> dispatcher_ = std::dynamic_pointer_cast<ThreadDispatcher>(environment_.dispatcher);
    std::shared_ptr<FakeReachability> network_ = std::make_shared<FakeReachability>();
    std::shared_ptr<AtomicBoolean> running_ = std::make_shared<AtomicBoolean>(false);
    std::shared_ptr<std::atomic<int>> trackingChecks_ = std::make_shared<std::atomic<int>>(0);
    RegistrationComponents components_;
};

TEST_P(RegistrationPlatformTest, CompletesWithTheOutcomeOfItsSituationAndSendsWhatItPrescribes) {
    const Situation& s = GetParam();
    std::string knownId;
    if (s.knownDevice) {
        knownId = registerDevice(kAppKey, kAddress).value_or("");
        ASSERT_FALSE(knownId.empty());
        takeRequestPaths(*platform_);
        *trackingChecks_ = 0;
    }
    if (s.faults) platform_->faults().arm(*s.faults);
    if (s.network == Network::offline) network_->report(0);
    if (s.network == Network::platformDown) platform_->stop();

    const std::optional<std::string> result = registerDevice(s.appKey, s.address);

    const std::string id = storedResourceId();
    if (s.knownDevice) {
        EXPECT_EQ(id, knownId) << "the resource id is reused";
    }
    if (std::string_view(s.expected) == kDeviceId) {
        EXPECT_FALSE(id.empty());
        EXPECT_EQ(result, id);
    } else {
        EXPECT_EQ(result, s.expected);
    }
    EXPECT_EQ(*trackingChecks_, s.trackingCheck ? 1 : 0);
    std::vector<std::string> paths;
    for (const std::string& path : s.paths) paths.push_back(std::regex_replace(path, std::regex("\\{id\\}"), id));
    if (s.network != Network::platformDown) {
        EXPECT_EQ(takeRequestPaths(*platform_), paths);
    }
}

FaultOrder spoil(Fault::Kind kind, std::size_t count) { return {.fault = {.kind = kind}, .count = count}; }

// A creation is preceded by its authentication; spoiling both leaves the creation without a usable reply.
constexpr std::size_t kAuthenticationAndCreation = 2;
const std::vector<std::string> kUnusableCreation{kAuthenticate, kUser + "create-anonymous"};
const std::vector<std::string> kCreationWithData{kAuthenticate, kUser + "create-anonymous", kAuthenticate,
                                                 kUser + "info/{id}", kAuthenticate, kUser + "app-parameters/{id}"};
const std::vector<std::string> kKnownDeviceRefresh{kAuthenticate, kUser + "app-parameters/{id}", kAuthenticate,
                                                   kUser + "info/{id}", kAuthenticate, kUser + "update/{id}"};

INSTANTIATE_TEST_SUITE_P(
    Situations, RegistrationPlatformTest,
    testing::Values(
        Situation{.name = "AddressWithAPort", .knownDevice = false, .network = Network::online,
                  .address = "http://127.0.0.1:8080", .expected = "Error parsing URL", .trackingCheck = false},
        Situation{.name = "EmptyKey", .knownDevice = false, .network = Network::online, .appKey = "",
                  .expected = "Error: insert a valid appKey", .trackingCheck = false},
        Situation{.name = "KnownOffline", .knownDevice = true, .network = Network::offline, .trackingCheck = false},
        Situation{.name = "KnownOnline", .knownDevice = true, .network = Network::online, .paths = kKnownDeviceRefresh},
        Situation{.name = "KnownOnlinePlatformDown", .knownDevice = true, .network = Network::platformDown},
        Situation{.name = "KnownOnlineRepliesUnreadable", .knownDevice = true, .network = Network::online,
                  .faults = spoil(Fault::Kind::garbage, 6), .paths = kKnownDeviceRefresh},
        Situation{.name = "UnknownOffline", .knownDevice = false, .network = Network::offline,
                  .expected = "Not connected to Internet", .trackingCheck = false},
        Situation{.name = "CreatedWithData", .knownDevice = false, .network = Network::online,
                  .paths = kCreationWithData},
        Situation{.name = "CreatedByTicket", .knownDevice = false, .network = Network::online,
                  .appKey = kTicketAppKey,
                  .paths = {kAuthenticate, kUser + "create-anonymous", kAuthenticate, kAuthenticate,
                            kUser + "info/{id}", kAuthenticate, kUser + "app-parameters/{id}"}},
        Situation{.name = "CreationFailsWithAStatus", .knownDevice = false, .network = Network::online,
                  .faults = spoil(Fault::Kind::status, kAuthenticationAndCreation), .expected = "",
                  .paths = kUnusableCreation},
        Situation{.name = "CreationUnreadable", .knownDevice = false, .network = Network::online,
                  .faults = spoil(Fault::Kind::garbage, kAuthenticationAndCreation), .expected = "",
                  .paths = kUnusableCreation},
        Situation{.name = "CreationCutOff", .knownDevice = false, .network = Network::online,
                  .faults = spoil(Fault::Kind::drop, kAuthenticationAndCreation), .expected = "",
                  .paths = kUnusableCreation},
        // Only an absent or unreadable reply is an error: a refusal names no one, so the ticket path runs with
        // an empty ticket and finds no account.
        Situation{.name = "CreationRefused", .knownDevice = false, .network = Network::online,
                  .faults = spoil(Fault::Kind::error, kAuthenticationAndCreation), .expected = "",
                  .paths = {kAuthenticate, kUser + "create-anonymous", kAuthenticate, kAuthenticate,
                            kUser + "app-parameters"}},
        Situation{.name = "UnknownOnlinePlatformDown", .knownDevice = false, .network = Network::platformDown,
                  .expected = ""}),
    [](const testing::TestParamInfo<Situation>& param) { return param.param.name; });

}  // namespace
}  // namespace fenk
