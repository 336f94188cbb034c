// The API client as it ships (transport, service catalogue, libcurl, real threads) against fenk-platform
// on loopback.
#include "FenkSDK/UserDefault.h"
#include "FenkSDK/api/AuthenticationRequest.h"
#include "FenkSDK/api/ServiceCatalogue.h"
#include "adapters/fake/MemoryPreferences.h"
#include "adapters/linux/CurlHttp.h"
#include "adapters/linux/ThreadDispatcher.h"
#include "support/SamplePlatform.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

using namespace std::chrono_literals;

namespace fenk {
namespace {

constexpr auto kPatience = 10s;
constexpr std::string_view kAppKey = "sample-app-key";

// A completion's value, handed from the client's threads to the test's.
template <class T>
class Awaited {
public:
    std::function<void(T)> receiver() const {
        return [state = state_](T value) {
            const std::scoped_lock lock(state->mutex);
            state->value.emplace(std::move(value));
            state->arrived.notify_all();
        };
    }

    // None when the completion did not run in time.
    std::optional<T> wait() const {
        std::unique_lock lock(state_->mutex);
        state_->arrived.wait_for(lock, kPatience, [this] { return state_->value.has_value(); });
        return state_->value;
    }

private:
    struct State {
        std::mutex mutex;
        std::condition_variable arrived;
        std::optional<T> value;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

struct Authentication {
    FG_Authenticate record;
    std::optional<FG_AuthenticateBean> reply;
};

struct Device {
    std::string resourceId;
    std::string credential;  // refresh token or ticket
};

// The payload of a reply that must have succeeded.
template <class DataT, bool hasTicket>
DataT dataOf(const std::optional<ParametersOut<DataT, hasTicket>>& reply) {
    EXPECT_TRUE(reply && reply->response == "OK" && reply->data) << "no successful reply";
    return reply && reply->data ? *reply->data : DataT{};
}

class PlatformClientTest : public ::testing::Test {
protected:
    Authentication authenticate(std::string_view appKey, const std::optional<std::string>& credential = std::nullopt,
                                FG_Authenticate record = {}) {
        record.platform = platform_->address();
        record.version = "1.0";
        Awaited<Authentication> done;
        requestAuthentication(
            transport_, std::move(record), appKey, credential,
            [receive = done.receiver()](FG_Authenticate updated, std::optional<FG_AuthenticateBean> reply) {
                receive({std::move(updated), std::move(reply)});
            });
        const std::optional<Authentication> result = done.wait();
        EXPECT_TRUE(result) << "the authentication never completed";
        return result.value_or(Authentication{});
    }

    template <class Service>
    std::optional<typename Service::ParametersOut> call(const typename Service::ParametersIn& parameters,
                                                        const FG_Authenticate& record) {
        Awaited<std::optional<typename Service::ParametersOut>> done;
        if constexpr (std::is_constructible_v<Service, PlatformTransport, const Preferences&>) {
            Service(transport_, preferences_).call(parameters, record, done.receiver());
        } else {
            Service(transport_).call(parameters, record, done.receiver());
        }
        const auto result = done.wait();
        EXPECT_TRUE(result) << "the service never completed";
        return result ? *result : std::nullopt;
    }

    Device createUser() {
        const auto reply = call<FG_SoaApiUser_CreateAnonymousService>({.i_extra = "carrier:Telco,versionName:2.0.5",
                                                                       .i_version = "17.0",
                                                                       .i_deviceId = "device-1",
                                                                       .i_device = "iPhone15,2",
                                                                       .i_platform = "ios"},
                                                                      authenticate(kAppKey).record);
        const FG_MobileData created = dataOf(reply);
        return {created.resourceId.value_or(""), created.refreshToken.value_or("")};
    }

    FG_Authenticate signIn(const Device& device) { return authenticate(kAppKey, device.credential).record; }

    TemporaryFolder folder_;
    std::unique_ptr<PlatformServer> platform_ = startSamplePlatform(folder_.path());
    std::shared_ptr<ThreadDispatcher> dispatcher_ = std::make_shared<ThreadDispatcher>();
    std::shared_ptr<CurlHttp> http_ = std::make_shared<CurlHttp>(dispatcher_);
    PlatformTransport transport_{http_, dispatcher_};
    MemoryPreferences preferences_;
};

TEST_F(PlatformClientTest, EveryServiceAnswersAndDecodes) {
    const Device device = createUser();
    const FG_Authenticate record = signIn(device);
    ASSERT_TRUE(record.token);
    const std::string& id = device.resourceId;
    preferences_.setString(settingsKeys::kKeyResourceId, id);

    dataOf(
        call<FG_SoaApiUser_UpdateService>({.i_resourceId = id, .i_extra = "a:1,b:2,a:3", .i_version = "17.1"}, record));
    const FG_Account account = dataOf(call<FG_SoaApiUser_InfoService>({.i_resourceId = id}, record));
    EXPECT_EQ(account.mobileVersion, "17.1");
    const std::vector<FG_Extra> extras = account.extra.value_or(std::vector<FG_Extra>{});
    const auto valueOf = [&](std::string_view name) {
        const auto found = std::ranges::find(extras, std::optional<std::string>(name), &FG_Extra::name);
        return found == extras.end() ? std::nullopt : found->value;
    };
    EXPECT_EQ(valueOf("carrier"), "Telco");
    EXPECT_EQ(valueOf("a"), "3");
    EXPECT_EQ(valueOf("b"), "2");

    const auto parameters = dataOf(call<FG_SoaApiUser_AppParametersService>({.i_resourceId = id}, record));
    EXPECT_TRUE(
        std::ranges::any_of(parameters, [](const FG_Extra& extra) { return extra.name == "userAccuracyMaxValue"; }));
    EXPECT_FALSE(dataOf(call<FG_SoaApiUser_UserProfileService>({.i_resourceId = id}, record)).userHabits->empty());
    const FG_SoaApiUserLocation_UpdateParametersIn position{
        .i_longitude = "-3.703000", .i_latitude = "40.416500", .i_resourceId = id, .i_extra = "{}"};
    EXPECT_EQ(dataOf(call<FG_SoaApiUserLocation_UpdateService>(position, record)).size(), 1u);
    const auto places = dataOf(call<FG_SoaApiPlace_FindNearbyService>(
        {.i_longitude = position.i_longitude, .i_latitude = position.i_latitude}, record));
    ASSERT_FALSE(places.empty());
    EXPECT_EQ(places.front().id, "place-sol");
    const auto area = dataOf(
        call<FG_SoaApiPellar_TrackingInfoService>({.i_longitude = "2.170000", .i_latitude = "41.380000"}, record));
    EXPECT_EQ(area.city, "Barcelona");

    EXPECT_EQ(dataOf(call<FG_SoaApiGroup_ListService>({}, record)).size(), 3u);
    dataOf(call<FG_SoaApiGroup_JoinService>({.i_resourceId = "group-runners"}, record));
    const auto subscribed = dataOf(call<FG_SoaApiGroup_SubscriptionService>({}, record));
    ASSERT_EQ(subscribed.size(), 1u);
    EXPECT_EQ(subscribed.front().resourceId, "group-runners");
    dataOf(call<FG_SoaApiGroup_LeaveService>({.i_resourceId = "group-runners"}, record));
    EXPECT_TRUE(dataOf(call<FG_SoaApiGroup_SubscriptionService>({}, record)).empty());
    const auto found = dataOf(call<FG_SoaApiGroup_FindGroupnameService>({.i_name = "LOVER"}, record));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found.front().descripcion, "Exhibitions and guided visits");

    FG_Authenticate forged = record;
    forged.token = "forged";
    const auto refused = call<FG_SoaApiUser_InfoService>({.i_resourceId = id}, forged);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->response, "ERROR");
    EXPECT_EQ(refused->messageCode, "INVALID_TOKEN");
}

TEST_F(PlatformClientTest, AFaultyPlatformGivesEveryCallerItsNoReplyPathAndTheClientRecovers) {
    transport_ = PlatformTransport(http_, dispatcher_, 300ms);
    const Device device = createUser();
    const struct {
        const char* name;
        Fault fault;
        bool answersError;  // a readable envelope saying "ERROR", rather than no reply at all
    } cases[] = {
        {"status 500", {.kind = Fault::Kind::status, .status = 500}, false},
        {"not JSON", {.kind = Fault::Kind::garbage}, false},
        {"ERROR envelope", {.kind = Fault::Kind::error}, true},
        {"dropped connection", {.kind = Fault::Kind::drop}, false},
        {"later than the time-out", {.kind = Fault::Kind::delay, .delay = 800ms}, false},
    };
    for (const auto& [name, fault, answersError] : cases) {
        SCOPED_TRACE(name);
        const FG_Authenticate signedIn = signIn(device);
        platform_->faults().arm({.fault = fault, .count = 2});

        const Authentication failed = authenticate(kAppKey, device.credential, signedIn);
        EXPECT_EQ(failed.reply.has_value(), answersError);
        EXPECT_EQ(failed.record.token, signedIn.token) << "a failed authentication keeps the old token";
        const auto reply = call<FG_SoaApiUser_InfoService>({.i_resourceId = device.resourceId}, signedIn);
        EXPECT_EQ(reply.has_value(), answersError);
        if (reply) {
            EXPECT_EQ(reply->response, "ERROR");
        }

        EXPECT_EQ(
            dataOf(call<FG_SoaApiUser_InfoService>({.i_resourceId = device.resourceId}, signIn(device))).resourceId,
            device.resourceId);
    }
}

TEST_F(PlatformClientTest, TestsDriveThePlatformOverHttp) {
    const auto exchange = [this](std::string method, std::string_view path, std::string body = {}) {
        Awaited<std::optional<Data>> done;
        http_->send({.method = std::move(method),
                     .url = platform_->address() + std::string(path),
                     .headers = {},
                     .body = toData(body)},
                    [receive = done.receiver()](std::optional<Data> reply, auto, auto) { receive(std::move(reply)); });
        const auto reply = done.wait().value_or(std::nullopt);
        return reply ? std::string(asText(*reply)) : std::string();
    };
    EXPECT_EQ(exchange("POST", "/_fenk/faults", R"({"kind":"error"})"), R"({"response":"OK"})");
    const Authentication refused = authenticate(kAppKey);
    ASSERT_TRUE(refused.reply);
    EXPECT_EQ(refused.reply->response, "ERROR");

    const auto requests = json::decode<std::vector<RecordedRequest>>(exchange("GET", "/_fenk/requests"));
    ASSERT_TRUE(requests && requests->size() == 1);
    EXPECT_EQ(requests->front().query.at("apikey"), kAppKey);
    exchange("GET", "/?token=first&token=last");
    EXPECT_EQ(platform_->requestLog().requests().back().query.at("token"), "last") << "the value the services read";
    EXPECT_EQ(exchange("DELETE", "/_fenk/requests"), R"({"response":"OK"})");
    EXPECT_EQ(exchange("GET", "/_fenk/requests"), "[]");
}

}  // namespace
}  // namespace fenk
