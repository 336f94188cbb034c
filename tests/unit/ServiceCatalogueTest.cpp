#include "FenkSDK/UserDefault.h"
#include "FenkSDK/api/ServiceCatalogue.h"
#include "adapters/fake/FakeEnvironment.h"
#include "support/ConsoleCapture.h"

#include <gtest/gtest.h>

#include <functional>
#include <type_traits>

namespace fenk {
namespace {

const FG_Authenticate kRecord{.platform = "http://p", .version = "1.0", .token = "T", .api = "soa.api.fenk"};
constexpr std::string_view kExec = "http://p/1.0/json/exec/soa.api.fenk";

using ServiceCall = std::function<void(const PlatformTransport&, const Preferences&)>;

template <class Service>
ServiceCall callWith(std::optional<typename Service::ParametersIn> parameters) {
    return [parameters](const PlatformTransport& transport, const Preferences& preferences) {
        if constexpr (std::is_constructible_v<Service, PlatformTransport, const Preferences&>) {
            Service(transport, preferences).call(parameters, kRecord, [](auto) {});
        } else {
            Service(transport).call(parameters, kRecord, [](auto) {});
        }
    };
}

class ServiceCatalogueTest : public ::testing::Test {
protected:
    FakeEnvironment fakes;
    PlatformTransport transport{fakes.http, fakes.dispatcher};
    ConsoleCapture console;

    HttpRequest send(const ServiceCall& call) {
        const std::size_t before = fakes.http->requests().size();
        call(transport, *fakes.preferences);
        const auto requests = fakes.http->requests();
        EXPECT_EQ(requests.size(), before + 1);
        return requests.size() > before ? requests.back() : HttpRequest{};
    }
};

TEST_F(ServiceCatalogueTest, EveryServiceAddressesAndFillsItsRequest) {
    struct Case {
        ServiceCall call;
        std::string method;
        std::string url;
        std::string body;
    };
    fakes.preferences->setString(settingsKeys::kKeyResourceId, "R9");
    const std::string exec(kExec);
    const Case cases[] = {
        {callWith<FG_SoaApiUser_InfoService>({{.i_resourceId = "R1"}}), "GET", exec + "/soa.api.user.info/R1?token=T", ""},
        {callWith<FG_SoaApiUser_AppParametersService>({{.i_resourceId = "R1"}}), "GET",
         exec + "/soa.api.user.app-parameters/R1?token=T", ""},
        {callWith<FG_SoaApiUser_CreateAnonymousService>(
             {{.i_extra = "e", .i_version = "v", .i_deviceId = "d", .i_notificationsToken = "n", .i_device = "m",
               .i_platform = "ios"}}),
         "POST", exec + "/soa.api.user.create-anonymous",
         "extra=e&version=v&deviceId=d&notificationsToken=n&device=m&platform=ios&token=T"},
        {callWith<FG_SoaApiUser_UpdateService>({{.i_resourceId = "R1", .i_extra = "k:v", .i_device = "m",
                                                 .i_version = "v", .i_password = "p", .i_email = "e",
                                                 .i_notificationsToken = "n"}}),
         "POST", exec + "/soa.api.user.update/R1",
         "extra=k%3Av&device=m&version=v&password=p&email=e&notificationsToken=n&token=T"},
        {callWith<FG_SoaApiUser_UserProfileService>({{.i_resourceId = "R1"}}), "GET",
         exec + "/soa.api.user.user-profile/R1?token=T", ""},
        {callWith<FG_SoaApiUserLocation_UpdateService>(
             {{.i_longitude = "2.5", .i_latitude = "41.0", .i_resourceId = "R1", .i_extra = "x"}}),
         "POST", exec + "/soa.api.user.location.update/R1", "longitude=2.5&latitude=41.0&extra=x&token=T&async=true"},
        {callWith<FG_SoaApiPlace_FindNearbyService>({{.i_longitude = "2.500000", .i_latitude = "1.500000"}}), "GET",
         exec + "/soa.api.user.find-places-nearby/R9?token=T&longitude=2.500000&latitude=1.500000", ""},
        {callWith<FG_SoaApiPellar_TrackingInfoService>({{.i_longitude = "2", .i_latitude = {}}}), "GET",
         exec + "/soa.api.pellar.tracking-info?token=T&longitude=2&latitude=0", ""},
        {callWith<FG_SoaApiGroup_ListService>({{.i_items = "10", .i_offset = ""}}), "GET",
         exec + "/soa.api.group.list?token=T&items=10", ""},
        {callWith<FG_SoaApiGroup_FindGroupnameService>({{.i_items = {}, .i_offset = "5", .i_name = "a&b"}}), "GET",
         exec + "/soa.api.group.find-groupname?token=T&offset=5&name=a%26b", ""},
        {callWith<FG_SoaApiGroup_SubscriptionService>({{.i_id = "7"}}), "GET",
         exec + "/soa.api.group.subscription?token=T", ""},
        {callWith<FG_SoaApiGroup_JoinService>({{.i_resourceId = "G1", .i_id = {}}}), "POST",
         exec + "/soa.api.group.join/G1", "token=T"},
        {callWith<FG_SoaApiGroup_LeaveService>({{.i_resourceId = "G1", .i_id = "7"}}), "POST",
         exec + "/soa.api.group.leave/G1", "id=7&token=T"},
    };
    for (const auto& [call, method, url, body] : cases) {
        const HttpRequest request = send(call);
        EXPECT_EQ(request.method, method);
        EXPECT_EQ(request.url, url);
        EXPECT_EQ(asText(request.body), body) << url;
    }
}

TEST_F(ServiceCatalogueTest, PathEndsAsFarAsTheResourceIdAllows) {
    const std::string exec(kExec);
    EXPECT_EQ(send(callWith<FG_SoaApiUser_InfoService>({{}})).url, exec + "/soa.api.user.info?token=T");
    EXPECT_EQ(send(callWith<FG_SoaApiUser_InfoService>(std::nullopt)).url, exec + "/soa.api.user.info?token=T");
    EXPECT_EQ(send(callWith<FG_SoaApiPellar_TrackingInfoService>(std::nullopt)).url,
              exec + "/soa.api.pellar.tracking-info?token=T&longitude=0&latitude=0");
    EXPECT_EQ(send(callWith<FG_SoaApiPlace_FindNearbyService>({{}})).url,
              exec + "/soa.api.user.find-places-nearby/?token=T");
    // An id cannot reach into the query or into another path segment.
    EXPECT_EQ(send(callWith<FG_SoaApiGroup_JoinService>({{.i_resourceId = "a/b?c", .i_id = {}}})).url,
              exec + "/soa.api.group.join/a%2Fb%3Fc");
}

TEST_F(ServiceCatalogueTest, WithoutAUsableRecordNothingIsSentButTheCallerHearsBack) {
    const std::optional<FG_Authenticate> records[] = {
        std::nullopt, FG_Authenticate{.platform = "http://p", .version = "1.0", .token = "T", .api = {}}};
    for (const auto& record : records) {
        int completions = 0;
        const auto expectNoReply = [&](const auto& reply) { completions += !reply; };
        FG_SoaApiPlace_FindNearbyService(transport, *fakes.preferences).call({{}}, record, expectNoReply);
        FG_SoaApiGroup_JoinService(transport).call({{}}, record, expectNoReply);
        fakes.dispatcher->runUntilIdle();
        EXPECT_EQ(completions, 2);
    }
    EXPECT_TRUE(fakes.http->requests().empty());
}

TEST_F(ServiceCatalogueTest, ReplyIsDecodedOnlyFromAReadableBody) {
    const std::pair<FakeHttpReply, std::optional<std::string>> cases[] = {
        {FakeHttpReply::text(R"({"response":"OK","data":{"resourceId":"R1"},"unknown":1})"), "R1"},
        {FakeHttpReply::text(R"({"response":"OK","data":{"resourceId":5}})"), std::nullopt},
        {FakeHttpReply::garbage(), std::nullopt},
        {FakeHttpReply::noBody(), std::nullopt},
    };
    for (const auto& [reply, expectedResourceId] : cases) {
        int completions = 0;
        FG_SoaApiUser_InfoService(transport).call({{.i_resourceId = "R1"}}, kRecord, [&](auto out) {
            ++completions;
            EXPECT_EQ(out && out->data ? out->data->resourceId : std::nullopt, expectedResourceId);
        });
        fakes.http->reply(reply);
        fakes.dispatcher->runUntilIdle();
        EXPECT_EQ(completions, 1);
    }
}

}  // namespace
}  // namespace fenk
