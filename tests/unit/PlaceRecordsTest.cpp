#include "FenkSDK/places/FenkCandidateStay.h"
#include "FenkSDK/places/FenkRelevantPlace.h"

#include <gtest/gtest.h>

#include <string>

namespace fenk {
namespace {

// Both maps outlive the SDK version that wrote them: a later one must read them and write them back unchanged.
// The candidates show every form of the stay list: present, empty and absent.
const std::string kCandidates =
    R"({"ezjmgtw":{"idGeoHash":"ezjmgtw","arrStays":{"arrStays":[)"
    R"({"idGeoHash":"ezjmgtw","arrival":725875200,"departure":725918400.5,"lengthStay":12.00013888888889,)"
    R"("isLabourDay":1,"isNight":0},{"idGeoHash":"ezjmgtw","arrival":726134400}]},)"
    R"("initialDate":725875200,"finalDate":725918400.5,"mediumStay":12.5,"pctNight":0.33333334,"pctLabourDay":1},)"
    R"("sp3e9bh":{"arrStays":{"arrStays":[]},"initialDate":-63113904000},)"
    R"("u4pruyd":{"idGeoHash":"u4pruyd","pctNight":0.1}})";

const std::string kPlaces =
    R"({"ezjmgtw":{"idGeoHash":"ezjmgtw","initialDate":725875200,"finalDate":63113904000,"type":"home",)"
    R"("numStays":12},"u4pruyd":{"type":"work"}})";

TEST(PlaceRecordsTest, StoredMapsReadBackUnchanged) {
    std::string error;
    const auto candidates = json::decode<CandidateStayMap>(kCandidates, &error);
    ASSERT_TRUE(candidates) << error;
    EXPECT_EQ(json::encode(*candidates), kCandidates);
    const FenkCandidateStay& learned = candidates->at("ezjmgtw");
    ASSERT_EQ(learned.stayCount(), 2U);
    EXPECT_EQ(learned.pctNight, 1.0F / 3.0F);
    EXPECT_EQ(candidates->at("sp3e9bh").arrStays, FenkStayList{});
    EXPECT_EQ(candidates->at("u4pruyd").arrStays, std::nullopt);

    const auto places = json::decode<RelevantPlaceMap>(kPlaces);
    ASSERT_TRUE(places);
    EXPECT_EQ(json::encode(*places), kPlaces);
    EXPECT_EQ(places->at("ezjmgtw").finalDate, distantFuture());
}

TEST(PlaceRecordsTest, MistypedMembersFailTheWholeMap) {
    const char* documents[] = {
        R"({"c":{"arrStays":[]}})",                  // the list without its wrapping object
        R"({"c":{"arrStays":{}}})",                  // the wrapping object without its list
        R"({"c":{"pctNight":1e39}})",                // beyond a float
        R"({"c":{"arrStays":{"arrStays":[{"isNight":1.5}]}}})",
    };
    for (const char* document : documents) {
        EXPECT_EQ(json::decode<CandidateStayMap>(document), std::nullopt) << document;
    }
    EXPECT_EQ(json::decode<RelevantPlaceMap>(R"({"c":{"numStays":"12"}})"), std::nullopt);
}

}  // namespace
}  // namespace fenk
