// What the platform serves besides its interface: notice and pushed-content media and link pages, seeded
// links that reach them, and the positions a user sent, read back as sent.
#include "FenkSDK/api/FG_AuthenticateBean.h"
#include "FenkSDK/api/FG_MobileData.h"
#include "FenkSDK/api/ParametersOut.h"
#include "FenkSDK/engagement/VideoPage.h"
#include "support/ImageHeaders.h"
#include "support/SamplePlatform.h"
#include "support/TemporaryFolder.h"
#include "tools/fenk-platform/PlatformCatalogue.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <map>
#include <span>
#include <tuple>

namespace fenk {
namespace {

const std::string kPng{"\x89PNG\r\n\x1a\n", 8};
const std::string kServices = "/1.0/json/exec/soa.api.fenk/";

std::uint32_t littleEndianAt(std::string_view bytes, std::size_t at, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t index = width; index-- > 0;) value = value << 8U | static_cast<std::uint8_t>(bytes.at(at + index));
    return value;
}

// The chunks directly inside a RIFF file or list, by code (a list by its own code), as a demuxer reads them;
// none when one claims more bytes than there are.
std::map<std::string, std::vector<std::string_view>> riffChunksIn(std::string_view body) {
    std::map<std::string, std::vector<std::string_view>> chunks;
    while (body.size() >= 8) {
        const std::uint32_t size = littleEndianAt(body, 4, 4);
        if (size > body.size() - 8) {
            ADD_FAILURE() << body.substr(0, 4) << " claims " << size << " bytes, " << body.size() - 8 << " follow";
            return {};
        }
        std::string_view data = body.substr(8, size);
        std::string code(body.substr(0, 4));
        if ((code == "RIFF" || code == "LIST") && data.size() >= 4) {
            code = data.substr(0, 4);
            data.remove_prefix(4);
        }
        chunks[code].push_back(data);
        body.remove_prefix(std::min<std::size_t>(body.size(), 8 + size + size % 2));
    }
    return chunks;
}

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
        std::string starts;
    } cases[] = {
        {"/media/icon.png", 200, "image/png", 0, kPng},
        {"/media/notes.txt", 200, "text/plain; charset=utf-8", 0, "Notes"},
        {"/media/oversize.png", 200, "image/png", std::size_t{11} << 20U, kPng},
        {"/media/poster-portrait.png", 200, "image/png", 0, test::pngHeader(360, 640).substr(0, 24)},
        {"/media/poster-landscape.png", 200, "image/png", 0, test::pngHeader(640, 360).substr(0, 24)},
        {"/media/clip.avi", 200, "video/x-msvideo", 0, "RIFF"},
        {"/media/tone.wav", 200, "audio/wav", 0, "RIFF"},
        {"/media/player.js", 200, "text/javascript; charset=utf-8", 0, "\"use strict\";"},
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

    const httplib::Result videoPage = client_.Get("/pages/video");
    EXPECT_EQ(extractVideoId(videoPage ? videoPage->body : ""), "fenkTour01");

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

TEST_F(PlatformServedContent, ClipAndToneHeadersDeclareWhatTheirDataHolds) {
    const httplib::Result clip = client_.Get("/media/clip.avi");
    ASSERT_TRUE(clip);
    const std::string_view avi = clip->body;
    EXPECT_LT(avi.size(), std::size_t{3} << 20U);
    EXPECT_EQ(littleEndianAt(avi, 4, 4), avi.size() - 8);
    auto file = riffChunksIn(avi.substr(12));
    ASSERT_TRUE(file["hdrl"].size() == 1 && file["movi"].size() == 1 && file["idx1"].size() == 1);
    auto header = riffChunksIn(file["hdrl"][0]);
    ASSERT_TRUE(header["avih"].size() == 1 && header["strl"].size() == 1);
    auto stream = riffChunksIn(header["strl"][0]);
    ASSERT_TRUE(stream["strh"].size() == 1 && stream["strf"].size() == 1);
    const std::string_view avih = header["avih"][0];
    const std::string_view bitmap = stream["strf"][0];
    const std::uint32_t declaredFrames = littleEndianAt(avih, 16, 4);
    const std::uint32_t width = littleEndianAt(avih, 32, 4);
    const std::uint32_t height = littleEndianAt(avih, 36, 4);
    EXPECT_EQ(littleEndianAt(stream["strh"][0], 32, 4), declaredFrames);
    EXPECT_EQ(std::tuple(littleEndianAt(bitmap, 4, 4), littleEndianAt(bitmap, 8, 4), littleEndianAt(bitmap, 14, 2)),
              std::tuple(width, height, 24U));
    const std::uint32_t frameBytes = (width * 3 + 3) / 4 * 4 * height;
    EXPECT_EQ(littleEndianAt(bitmap, 20, 4), frameBytes);
    EXPECT_NEAR(declaredFrames * 1e-6 * littleEndianAt(avih, 0, 4), 2.0, 0.1) << "seconds";

    const std::string_view movi = file["movi"][0];
    const std::vector<std::string_view> frames = riffChunksIn(movi)["00db"];
    ASSERT_EQ(frames.size(), declaredFrames);
    for (const std::string_view frame : frames) EXPECT_EQ(frame.size(), frameBytes);
    EXPECT_NE(frames.front(), frames.back()) << "the picture moves";
    const std::string_view index = file["idx1"][0];
    ASSERT_EQ(index.size(), std::size_t{16} * declaredFrames);
    for (std::size_t entry = 0; entry < declaredFrames; ++entry) {
        // An entry's offset counts from the "movi" code, four bytes before the list's chunks.
        const std::size_t offset = littleEndianAt(index, entry * 16 + 8, 4);
        ASSERT_GE(offset, 4u);
        EXPECT_EQ(index.substr(entry * 16, 4), "00db");
        EXPECT_EQ(movi.substr(offset - 4, 4), "00db");
        EXPECT_EQ(littleEndianAt(movi, offset, 4), frameBytes);
        EXPECT_EQ(littleEndianAt(index, entry * 16 + 12, 4), frameBytes);
    }

    const httplib::Result tone = client_.Get("/media/tone.wav");
    ASSERT_TRUE(tone);
    const std::string_view wav = tone->body;
    EXPECT_EQ(wav.substr(8, 4), "WAVE");
    EXPECT_EQ(littleEndianAt(wav, 4, 4), wav.size() - 8);
    auto sound = riffChunksIn(wav.substr(12));
    ASSERT_TRUE(sound["fmt "].size() == 1 && sound["data"].size() == 1);
    const std::string_view format = sound["fmt "][0];
    // PCM, one channel, 16 kHz, two bytes a sample.
    EXPECT_EQ(std::tuple(littleEndianAt(format, 0, 2), littleEndianAt(format, 2, 2), littleEndianAt(format, 4, 4),
                         littleEndianAt(format, 8, 4), littleEndianAt(format, 12, 2), littleEndianAt(format, 14, 2)),
              std::tuple(1U, 1U, 16'000U, 32'000U, 2U, 16U));
    EXPECT_NEAR(double(sound["data"][0].size()) / 32'000, 2.0, 0.1) << "seconds";
    EXPECT_EQ(sound["data"][0].data() + sound["data"][0].size(), wav.data() + wav.size()) << "the data ends the file";
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
