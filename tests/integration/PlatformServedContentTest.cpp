// What the platform serves besides its interface: notice media and link pages, seeded links that reach
// them, and the positions a user sent, read back as sent.
#include "FenkSDK/api/FG_AuthenticateBean.h"
#include "FenkSDK/api/FG_MobileData.h"
#include "FenkSDK/api/ParametersOut.h"
#include "support/SamplePlatform.h"
#include "support/TemporaryFolder.h"
#include "tools/fenk-platform/PlatformCatalogue.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <span>
#include <tuple>

namespace fenk {
namespace {

constexpr std::string_view kPng{"\x89PNG\r\n\x1a\n", 8};
const std::string kServices = "/1.0/json/exec/soa.api.fenk/";

class PlatformServedContent : public ::testing::Test {
protected:
    TemporaryFolder folder_;
    std::unique_ptr<PlatformServer> platform_ = startSamplePlatform(folder_.path());
    httplib::Client client_{platform_->address()};
};

TEST_F(PlatformServedContent, ServesMediaAndEscapedPagesThatSeededNoticesLinkTo) {
    const struct {
        std::string path;
        int status;
        std::string contentType;
        std::size_t size;  // 0: any
        std::string_view starts;
    } cases[] = {
        {"/media/icon.png", 200, "image/png", 0, kPng},
        {"/media/notes.txt", 200, "text/plain; charset=utf-8", 0, "Notes"},
        {"/media/oversize.png", 200, "image/png", std::size_t{11} << 20U, kPng},
        {"/media/elsewhere.png", 404, "application/json; charset=utf-8", 0, "{"},
        {"/pages/%3Ci%3Elunch", 200, "text/html; charset=utf-8", 0,
         "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>&lt;i&gt;lunch</title>"},
    };
    for (const auto& [path, status, contentType, size, starts] : cases) {
        SCOPED_TRACE(path);
        const httplib::Result reply = client_.Get(path);
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->status, status);
        EXPECT_EQ(reply->get_header_value("Content-Type"), contentType);
        EXPECT_TRUE(reply->body.starts_with(starts));
        EXPECT_TRUE(size == 0 || reply->body.size() == size);
    }

    std::string error;
    PlatformCatalogue catalogue(*loadPlatformSeed(FENK_PLATFORM_SAMPLE_SEED, error), {});
    catalogue.expandPlatformAddress(platform_->address());
    const std::vector<FG_DTSPlace> atWork = catalogue.placesNear(*catalogue.app("sample-app-key"), {40.475, -3.6905});
    ASSERT_TRUE(!atWork.empty() && atWork.front().extras && atWork.front().extras->size() == 3);
    for (const FG_Extra& link : std::span(*atWork.front().extras).subspan(1)) {
        SCOPED_TRACE(link.value.value_or(""));
        ASSERT_TRUE(link.value && link.value->starts_with(platform_->address()));
        const httplib::Result linked = client_.Get(link.value->substr(platform_->address().size()));
        EXPECT_TRUE(linked && linked->status == 200);
    }
}

TEST_F(PlatformServedContent, ReadsBackThePositionsStoredAsSentWhileEveryOtherUpdateIsDropped) {
    const httplib::Result signIn = client_.Get("/1.0/json/auth/user?api=soa.api.fenk&apikey=sample-app-key");
    const auto session = json::decode<FG_AuthenticateBean>(signIn ? signIn->body : "");
    ASSERT_TRUE(session && session->authenticate && session->authenticate->token);
    const std::string token = *session->authenticate->token;
    const httplib::Result creation =
        client_.Post(kServices + "soa.api.user.create-anonymous", httplib::Params{{"token", token}});
    const auto created = json::decode<ParametersOut<FG_MobileData>>(creation ? creation->body : "");
    ASSERT_TRUE(created && created->data && created->data->resourceId);
    const std::string id = *created->data->resourceId;
    ASSERT_TRUE(client_.Post("/_fenk/faults",
                             R"({"kind":"drop","count":0,"every":2,"path":"/soa.api.user.location.update"})",
                             "application/json"));

    const std::vector<ReceivedLocation> sent{{id, "40.416500", "-3.703000", "{}"},
                                             {id, "40.4165000000001", "-3.7", "x:1"},
                                             {id, "1.500000", "-0.000001", "x:é & ü,y:"},
                                             {id, "0", "0", std::nullopt}};
    for (const ReceivedLocation& position : sent) {
        httplib::Params form{{"token", token}, {"latitude", *position.latitude}, {"longitude", *position.longitude}};
        if (position.extra) form.emplace("extra", *position.extra);
        client_.Post(kServices + "soa.api.user.location.update/" + id, form);
    }

    const httplib::Result list = client_.Get("/_fenk/locations?resourceId=" + id);
    const auto overHttp = json::decode<std::vector<ReceivedLocation>>(list ? list->body : "");
    ASSERT_TRUE(overHttp);
    for (const std::vector<ReceivedLocation>& received : {*overHttp, platform_->locationsOf(id)}) {
        ASSERT_EQ(received.size(), 2u) << "the second and fourth updates were dropped";
        const auto fields = [](const ReceivedLocation& at) {
            return std::tie(at.resourceId, at.latitude, at.longitude, at.extra);
        };
        for (std::size_t index = 0; index < received.size(); ++index) {
            EXPECT_EQ(fields(received[index]), fields(sent[index * 2]));
        }
    }
}

}  // namespace
}  // namespace fenk
