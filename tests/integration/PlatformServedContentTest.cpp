// What the platform serves besides its interface: notice media and link pages, seeded links that reach
// them, and the positions a user sent, read back as sent.
#include "FenkSDK/api/FG_AuthenticateBean.h"
#include "FenkSDK/api/FG_MobileData.h"
#include "FenkSDK/api/ParametersOut.h"
#include "support/SamplePlatform.h"
#include "support/TemporaryFolder.h"
#include "tools/fenk-platform/PlatformCatalogue.h"
#include "tools/fenk-platform/PlatformStore.h"

#include <gtest/gtest.h>
#include <httplib.h>

namespace fenk {
namespace {

constexpr std::string_view kPngSignature{"\x89PNG\r\n\x1a\n", 8};
constexpr std::string_view kServices = "/1.0/json/exec/soa.api.fenk/";

class PlatformServedContent : public ::testing::Test {
protected:
    std::string body(const httplib::Result& result) const {
        EXPECT_TRUE(result) << "no reply";
        return result ? result->body : std::string();
    }

    TemporaryFolder folder_;
    std::unique_ptr<PlatformServer> platform_ = startSamplePlatform(folder_.path());
    httplib::Client client_{platform_->address()};
};

TEST_F(PlatformServedContent, ServesMediaAndEscapedPagesThatSeededNoticesLinkTo) {
    const struct {
        std::string path;
        int status;
        std::string contentType;
        std::size_t size;
        std::string_view startsWith;
    } cases[] = {
        {"/media/icon.png", 200, "image/png", 0, kPngSignature},
        {"/media/notes.txt", 200, "text/plain; charset=utf-8", 0, "Notes"},
        {"/media/oversize.png", 200, "image/png", std::size_t{11} << 20U, kPngSignature},
        {"/media/elsewhere.png", 404, "application/json; charset=utf-8", 0, "{"},
        {"/pages/%3Ci%3Elunch%20%26%20more", 200, "text/html; charset=utf-8", 0, "<!DOCTYPE html>"},
    };
    for (const auto& [path, status, contentType, size, startsWith] : cases) {
        SCOPED_TRACE(path);
        const httplib::Result reply = client_.Get(path);
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->status, status);
        EXPECT_EQ(reply->get_header_value("Content-Type"), contentType);
        EXPECT_TRUE(reply->body.starts_with(startsWith));
        if (size != 0) {
            EXPECT_EQ(reply->body.size(), size);
        }
    }
    EXPECT_NE(body(client_.Get("/pages/%3Ci%3Elunch")).find("<title>&lt;i&gt;lunch</title>"), std::string::npos);

    std::string error;
    const std::optional<PlatformSeed> seed = loadPlatformSeed(FENK_PLATFORM_SAMPLE_SEED, error);
    ASSERT_TRUE(seed) << error;
    PlatformCatalogue catalogue(*seed, {});
    catalogue.expandPlatformAddress(platform_->address());
    const std::vector<FG_DTSPlace> atWork = catalogue.placesNear(*catalogue.app("sample-app-key"), {40.4750, -3.6905});
    ASSERT_FALSE(atWork.empty());
    ASSERT_TRUE(atWork.front().extras);
    std::size_t links = 0;
    for (const FG_Extra& extra : *atWork.front().extras) {
        if (extra.name == "d2s-message") continue;
        SCOPED_TRACE(extra.value.value_or(""));
        ASSERT_TRUE(extra.value && extra.value->starts_with(platform_->address()));
        const httplib::Result linked = client_.Get(extra.value->substr(platform_->address().size()));
        ASSERT_TRUE(linked);
        EXPECT_EQ(linked->status, 200);
        ++links;
    }
    EXPECT_EQ(links, 2u) << "the place at the commuter's work links an icon and a page";
}

TEST_F(PlatformServedContent, ReadsBackThePositionsStoredAsSentWhileEveryOtherUpdateIsDropped) {
    const auto signIn = json::decode<FG_AuthenticateBean>(
        body(client_.Get("/1.0/json/auth/user?api=soa.api.fenk&apikey=sample-app-key")));
    ASSERT_TRUE(signIn && signIn->authenticate && signIn->authenticate->token);
    const std::string token = *signIn->authenticate->token;
    const auto created = json::decode<ParametersOut<FG_MobileData>>(body(client_.Post(
        std::string(kServices) + "soa.api.user.create-anonymous", httplib::Params{{"token", token}})));
    ASSERT_TRUE(created && created->data && created->data->resourceId);
    const std::string id = *created->data->resourceId;
    EXPECT_EQ(body(client_.Post("/_fenk/faults",
                                R"({"kind":"drop","count":0,"every":2,"path":"/soa.api.user.location.update"})",
                                "application/json")),
              R"({"response":"OK"})");

    const std::vector<ReceivedLocation> sent{
        {id, "40.416500", "-3.703000", "{}"},
        {id, "40.4165000000001", "-3.7", "x:1,y:é & ü"},
        {id, "1.500000", "-0.000001", ""},
        {id, "0", "0", std::nullopt},
    };
    for (const ReceivedLocation& position : sent) {
        httplib::Params form{{"token", token}, {"latitude", *position.latitude}, {"longitude", *position.longitude}};
        if (position.extra) form.emplace("extra", *position.extra);
        client_.Post(std::string(kServices) + "soa.api.user.location.update/" + id, form);
    }

    const auto overHttp =
        json::decode<std::vector<ReceivedLocation>>(body(client_.Get("/_fenk/locations?resourceId=" + id)));
    ASSERT_TRUE(overHttp);
    for (const std::vector<ReceivedLocation>& received : {*overHttp, platform_->locationsOf(id)}) {
        ASSERT_EQ(received.size(), 2u) << "the second and fourth updates were dropped";
        for (std::size_t index = 0; index < received.size(); ++index) {
            const ReceivedLocation& expected = sent[index * 2];
            EXPECT_EQ(received[index].resourceId, id);
            EXPECT_EQ(received[index].latitude, expected.latitude);
            EXPECT_EQ(received[index].longitude, expected.longitude);
            EXPECT_EQ(received[index].extra, expected.extra);
        }
    }
}

}  // namespace
}  // namespace fenk
