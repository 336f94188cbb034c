#pragma once

#include "FenkSDK/json/RecordCodec.h"

#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace fenk {

// What a demo run found, as the report shows it and as report.json carries it. Times are UTC in ISO 8601
// ("2026-01-05T08:14:00Z"); coordinates are degrees; counts are whole numbers.

struct MapPoint {
    double latitude{};
    double longitude{};

    static constexpr auto jsonFields =
        std::tuple{json::field("latitude", &MapPoint::latitude), json::field("longitude", &MapPoint::longitude)};
};

// A place of the owner's seed that carries a notice.
struct NoticePlace {
    std::string id{};
    std::string name{};
    double latitude{};
    double longitude{};
    double radius{};  // metres
    std::string message{};

    static constexpr auto jsonFields = std::tuple{
        json::field("id", &NoticePlace::id),           json::field("name", &NoticePlace::name),
        json::field("latitude", &NoticePlace::latitude), json::field("longitude", &NoticePlace::longitude),
        json::field("radius", &NoticePlace::radius),   json::field("message", &NoticePlace::message)};
};

// A region the SDK asked the location engine to watch.
struct Fence {
    std::string identifier{};
    double latitude{};
    double longitude{};
    double radius{};          // metres
    bool aroundPlace{};       // a learned place's fence; otherwise one around the cell the device was in

    static constexpr auto jsonFields = std::tuple{
        json::field("identifier", &Fence::identifier), json::field("latitude", &Fence::latitude),
        json::field("longitude", &Fence::longitude),   json::field("radius", &Fence::radius),
        json::field("aroundPlace", &Fence::aroundPlace)};
};

// A place the SDK learned from the stays.
struct LearnedPlace {
    std::string cell{};  // 7-character geohash
    std::string type{};  // "home", "work" or "" when not told apart
    double latitude{};   // the cell's centre
    double longitude{};
    std::int64_t stays{};
    std::string firstSeen{};
    std::string lastSeen{};

    static constexpr auto jsonFields = std::tuple{
        json::field("cell", &LearnedPlace::cell),           json::field("type", &LearnedPlace::type),
        json::field("latitude", &LearnedPlace::latitude),   json::field("longitude", &LearnedPlace::longitude),
        json::field("stays", &LearnedPlace::stays),         json::field("firstSeen", &LearnedPlace::firstSeen),
        json::field("lastSeen", &LearnedPlace::lastSeen)};
};

// A notice the SDK raised on the device.
struct RaisedNotice {
    std::string time{};
    std::string placeId{};  // empty when the notice named no seeded place
    std::string title{};

    static constexpr auto jsonFields = std::tuple{json::field("time", &RaisedNotice::time),
                                                  json::field("placeId", &RaisedNotice::placeId),
                                                  json::field("title", &RaisedNotice::title)};
};

// A stretch of one day, in minutes from its midnight (UTC), 0 to 1440.
struct DaySpan {
    std::string kind{};  // "moving", "stay", "offline" or "faults"
    std::int64_t fromMinute{};
    std::int64_t toMinute{};

    static constexpr auto jsonFields =
        std::tuple{json::field("kind", &DaySpan::kind), json::field("fromMinute", &DaySpan::fromMinute),
                   json::field("toMinute", &DaySpan::toMinute)};
};

struct DaySummary {
    std::string date{};  // "2026-01-05"
    std::vector<DaySpan> spans{};
    std::int64_t fixes{};
    std::int64_t uploads{};       // positions the platform acknowledged that day
    std::int64_t maxQueue{};      // the most positions waiting at once
    std::int64_t queueAtEnd{};    // waiting at midnight
    std::int64_t stays{};         // visits the SDK detected that day
    std::int64_t notices{};
    std::int64_t placesLearned{};  // known at the end of the day

    static constexpr auto jsonFields = std::tuple{
        json::field("date", &DaySummary::date),       json::field("spans", &DaySummary::spans),
        json::field("fixes", &DaySummary::fixes),     json::field("uploads", &DaySummary::uploads),
        json::field("maxQueue", &DaySummary::maxQueue), json::field("queueAtEnd", &DaySummary::queueAtEnd),
        json::field("stays", &DaySummary::stays),     json::field("notices", &DaySummary::notices),
        json::field("placesLearned", &DaySummary::placesLearned)};
};

// What the platform's own records hold for the device.
struct PlatformRecords {
    std::int64_t positions{};   // location updates stored, copies included
    std::int64_t distinct{};    // different descriptors among them (a stay's opening and closing may share one)
    std::int64_t duplicates{};  // copies beyond the uploads that went through: a reply lost after the store
    std::map<std::string, std::int64_t> requests{};  // requests received, by path
    std::vector<std::string> sampleDescriptors{};    // the first few "extra" descriptors, in arrival order

    static constexpr auto jsonFields = std::tuple{
        json::field("positions", &PlatformRecords::positions), json::field("distinct", &PlatformRecords::distinct),
        json::field("duplicates", &PlatformRecords::duplicates), json::field("requests", &PlatformRecords::requests),
        json::field("sampleDescriptors", &PlatformRecords::sampleDescriptors)};
};

struct RunFigures {
    std::int64_t fixes{};           // fixes of the trace fed to the location engine
    std::int64_t positionsQueued{};  // positions the SDK put in its upload queue
    std::int64_t uploads{};         // uploads the platform acknowledged
    std::int64_t resends{};         // uploads that had to wait (a failed try, or nothing could go out)
    std::int64_t duplicates{};      // copies the platform stored twice
    std::int64_t positionsLost{};   // queued but not held by the platform
    std::int64_t notices{};
    double replaySeconds{};         // wall time of the replay
    double wallSeconds{};           // wall time of the whole run, platform start and report included

    static constexpr auto jsonFields = std::tuple{
        json::field("fixes", &RunFigures::fixes),       json::field("positionsQueued", &RunFigures::positionsQueued),
        json::field("uploads", &RunFigures::uploads),   json::field("resends", &RunFigures::resends),
        json::field("duplicates", &RunFigures::duplicates), json::field("positionsLost", &RunFigures::positionsLost),
        json::field("notices", &RunFigures::notices),   json::field("replaySeconds", &RunFigures::replaySeconds),
        json::field("wallSeconds", &RunFigures::wallSeconds)};
};

struct DemoFacts {
    std::string trace{};  // "a generated commuter, 4 weeks, seed 1" or the file's name
    std::string from{};
    std::string to{};
    std::string legal{};  // how the owner's terms went, one sentence
    std::vector<MapPoint> track{};      // the trace, thinned to what a map can show
    std::vector<std::string> cells{};   // 7-character cells of the positions the SDK produced, sorted
    std::vector<Fence> fences{};
    std::vector<LearnedPlace> learnedPlaces{};
    std::vector<NoticePlace> noticePlaces{};
    std::vector<RaisedNotice> notices{};
    std::vector<DaySummary> days{};
    PlatformRecords platform{};
    RunFigures figures{};

    static constexpr auto jsonFields = std::tuple{
        json::field("trace", &DemoFacts::trace),         json::field("from", &DemoFacts::from),
        json::field("to", &DemoFacts::to),               json::field("legal", &DemoFacts::legal),
        json::field("track", &DemoFacts::track),         json::field("cells", &DemoFacts::cells),
        json::field("fences", &DemoFacts::fences),       json::field("learnedPlaces", &DemoFacts::learnedPlaces),
        json::field("noticePlaces", &DemoFacts::noticePlaces), json::field("notices", &DemoFacts::notices),
        json::field("days", &DemoFacts::days),           json::field("platform", &DemoFacts::platform),
        json::field("figures", &DemoFacts::figures)};
};

}  // namespace fenk
