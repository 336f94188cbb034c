#include "FenkSDK/places/StayAnalysis.h"

#include "FenkSDK/UserDefault.h"
#include "FenkSDK/storage/FenkKeyChain.h"
#include "adapters/fake/FakeDevice.h"
#include "adapters/fake/FakeDispatcher.h"
#include "adapters/fake/MemoryPreferences.h"
#include "adapters/fake/MemorySecureStore.h"
#include "support/ConsoleCapture.h"

#include <gmock/gmock.h>

#include <chrono>
#include <latch>
#include <tuple>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace fenk {
namespace {

using namespace std::chrono;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;

constexpr std::string_view kCell = "ezjmgtw";
constexpr double kLatitude = 40.41;
constexpr double kLongitude = -3.70;

// January 2024 starts on a Monday and no zone used here changes its clocks that month.
constexpr sys_days kMonday{2024y / 1 / 1};
const SystemTime kNow{sys_days{2024y / 1 / 20}};

Timestamp wallClock(sys_days day, hours hour, minutes minute = 0min, seconds second = 0s, hours utcOffset = 0h) {
    return timestampFromSystemTime(SystemTime(day + hour + minute + second - utcOffset));
}

Timestamp daysBeforeNow(TimestampClock::duration age) { return timestampFromSystemTime(kNow) - age; }

StoredLocation record(Timestamp arrival, Timestamp departure, std::string cell = std::string(kCell)) {
    StoredLocation location;
    location.geohash = std::move(cell);
    location.latitude = kLatitude;
    location.longitude = kLongitude;
    location.arrivalDate = arrival;
    location.departureDate = departure;
    return location;
}

FenkStay stay(Timestamp departure, bool wholeDay) {
    const auto length = wholeDay ? hours(30) : hours(10);
    return FenkStay{std::string(kCell), departure - length, departure, static_cast<double>(length.count()), 1,
                    wholeDay ? 1 : 0};
}

using Region = std::tuple<std::string, double, double>;

// One analysis over fresh stores, whose stored documents the test reads and writes directly.
struct Harness {
    explicit Harness(bool locationLayer = true) : withLocationLayer(locationLayer) {}

    CandidateStayMap candidates() const {
        return UserDefault(preferences).loadRecord<CandidateStayMap>(settingsKeys::kFenkCandidateStays).value_or(
            CandidateStayMap{});
    }
    std::vector<FenkStay> stays() const {
        const auto all = candidates();
        const auto found = all.find(std::string(kCell));
        return found != all.end() && found->second.arrStays ? found->second.arrStays->stays : std::vector<FenkStay>{};
    }
    void storeCandidate(std::vector<FenkStay> stays, std::optional<float> pctNight = std::nullopt) {
        FenkCandidateStay candidate{.idGeoHash = std::string(kCell)};
        candidate.initialDate = stays.empty() ? std::nullopt : stays.front().arrival;
        candidate.arrStays = FenkStayList{std::move(stays)};
        candidate.pctNight = pctNight;
        UserDefault(preferences).saveRecord(CandidateStayMap{{std::string(kCell), candidate}},
                                            settingsKeys::kFenkCandidateStays);
    }
    RelevantPlaceMap places() const {
        const auto data = secureStore.load(keychainAccounts::kFenkStoredPositions);
        return data ? json::decode<RelevantPlaceMap>(asText(*data)).value_or(RelevantPlaceMap{}) : RelevantPlaceMap{};
    }
    void storePlaces(const RelevantPlaceMap& stored) {
        secureStore.save(keychainAccounts::kFenkStoredPositions, toData(json::encode(stored).value()));
    }

    FakeDispatcher clock{kNow};
    mutable MemoryPreferences preferences;
    MemorySecureStore secureStore;
    FakeDevice device;
    std::vector<Region> regions;
    bool withLocationLayer;
    StayAnalysis analysis{preferences, secureStore, clock, device,
                          withLocationLayer ? StayAnalysis::MonitorRegion{[this](std::string id, double lat, double lon) {
                              regions.emplace_back(std::move(id), lat, lon);
                          }} : nullptr};
};

TEST(StayAnalysisTest, FilesClosedStaysOverThreeHoursMarkedByTheDeviceCalendar) {
    const sys_days tuesday = kMonday + days(1), thursday = kMonday + days(3), friday = kMonday + days(4),
                   saturday = kMonday + days(5), sunday = kMonday + days(6), nextMonday = kMonday + days(7),
                   nextTuesday = kMonday + days(8);
    struct Marks {
        int isLabourDay;
        int isNight;
    };
    const struct {
        const char* name;
        const char* zone;
        const char* locale;
        Timestamp arrival;
        Timestamp departure;
        std::optional<Marks> filed;
    } cases[] = {
        {"exactly three hours", "UTC", "en_US", wallClock(tuesday, 8h), wallClock(tuesday, 11h), std::nullopt},
        {"three hours and a second", "UTC", "en_US", wallClock(tuesday, 8h), wallClock(tuesday, 11h, 0min, 1s),
         Marks{1, 0}},
        {"departure before arrival", "UTC", "en_US", wallClock(tuesday, 20h), wallClock(tuesday, 8h), std::nullopt},
        {"still open", "UTC", "en_US", wallClock(tuesday, 8h), distantFuture(), std::nullopt},
        {"arrival unknown", "UTC", "en_US", distantPast(), wallClock(tuesday, 20h), std::nullopt},
        {"working day", "UTC", "en_US", wallClock(tuesday, 8h), wallClock(tuesday, 20h), Marks{1, 0}},
        {"exactly a day", "UTC", "en_US", wallClock(tuesday, 8h), wallClock(tuesday + days(1), 8h), Marks{1, 1}},
        {"a minute short of a day", "UTC", "en_US", wallClock(tuesday, 8h), wallClock(tuesday + days(1), 7h, 59min),
         Marks{1, 0}},
        {"Friday night to Saturday, Madrid", "Europe/Madrid", "es_ES", wallClock(friday, 20h, 0min, 0s, 1h),
         wallClock(saturday, 10h, 0min, 0s, 1h), Marks{0, 0}},
        {"Thursday to Monday, 97 h: the second day is a Saturday", "UTC", "en_US", wallClock(thursday, 9h),
         wallClock(nextMonday, 10h), Marks{0, 1}},
        {"Monday to next Tuesday: the weekend between is never checked", "UTC", "en_US", wallClock(kMonday, 9h),
         wallClock(nextTuesday, 10h), Marks{1, 1}},
        // Sunday 22:00 to Monday 10:00 in UTC is Monday 07:00 to 19:00 in Tokyo.
        {"Monday in Tokyo", "Asia/Tokyo", "ja_JP", wallClock(sunday, 22h), wallClock(nextMonday, 10h), Marks{1, 0}},
        {"the same instants in UTC", "UTC", "en_US", wallClock(sunday, 22h), wallClock(nextMonday, 10h), Marks{0, 0}},
        {"Sunday is a working day in Israel", "Asia/Jerusalem", "he_IL", wallClock(sunday, 9h, 0min, 0s, 2h),
         wallClock(sunday, 20h, 0min, 0s, 2h), Marks{1, 0}},
        {"Friday is not", "Asia/Jerusalem", "he_IL", wallClock(friday, 9h, 0min, 0s, 2h),
         wallClock(friday, 20h, 0min, 0s, 2h), Marks{0, 0}},
        {"Sunday in the same zone with a US calendar", "Asia/Jerusalem", "en_US", wallClock(sunday, 9h, 0min, 0s, 2h),
         wallClock(sunday, 20h, 0min, 0s, 2h), Marks{0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Harness harness;
        harness.device.setTimeZoneIdentifier(c.zone);
        harness.device.setLocaleIdentifier(c.locale);
        EXPECT_EQ(harness.analysis.analyseStay(record(c.arrival, c.departure)), std::nullopt);
        const auto stays = harness.stays();
        if (!c.filed) {
            EXPECT_THAT(stays, IsEmpty());
            continue;
        }
        ASSERT_THAT(stays, SizeIs(1));
        EXPECT_EQ(stays[0].isLabourDay, c.filed->isLabourDay);
        EXPECT_EQ(stays[0].isNight, c.filed->isNight);
        EXPECT_EQ(stays[0].arrival, c.arrival);
        EXPECT_EQ(stays[0].departure, c.departure);
    }
}

// A record uploaded again after a failed attempt reaches the analysis twice.
TEST(StayAnalysisTest, SameStayIsFiledOnce) {
    Harness harness;
    const Timestamp arrival = daysBeforeNow(days(2));
    harness.analysis.analyseStay(record(arrival, arrival + hours(5)));
    harness.analysis.analyseStay(record(arrival, arrival + hours(5)));
    harness.analysis.analyseStay(record(arrival, arrival + hours(6)));
    EXPECT_THAT(harness.stays(), SizeIs(2));
}

TEST(StayAnalysisTest, RecordInRelevantPlaceCountsTheVisitAndAsksForItsRegion) {
    const struct {
        const char* type;
        bool withLocationLayer;
        Timestamp departure;
        const char* region;
    } cases[] = {
        {"work", true, daysBeforeNow(hours(1)), "FENK_LOCATION_WORK_ezjmgtw"},
        {"home", true, distantFuture(), "FENK_LOCATION_HOME_ezjmgtw"},
        {"home", false, daysBeforeNow(hours(1)), nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.region ? c.region : "no location layer");
        Harness harness(c.withLocationLayer);
        const Timestamp initial = daysBeforeNow(days(30));
        harness.storePlaces({{std::string(kCell), FenkRelevantPlace{std::string(kCell), initial, initial, c.type, 11}}});
        const Timestamp arrival = daysBeforeNow(hours(12));

        EXPECT_EQ(harness.analysis.analyseStay(record(arrival, c.departure)), c.type);

        const FenkRelevantPlace expected{std::string(kCell), initial, arrival, c.type, 12};
        EXPECT_EQ(harness.places(), (RelevantPlaceMap{{std::string(kCell), expected}}));
        if (c.region) {
            EXPECT_THAT(harness.regions, ElementsAre(Region{c.region, kLatitude, kLongitude}));
        } else {
            EXPECT_THAT(harness.regions, IsEmpty());
        }
        EXPECT_THAT(harness.candidates(), IsEmpty());
    }
}

TEST(StayAnalysisTest, EleventhStayPromotesTheCellTypedByItsWholeDayShare) {
    const struct {
        int storedStays;
        int wholeDays;
        std::optional<std::string> type;
    } cases[] = {{9, 0, std::nullopt}, {10, 0, "work"}, {11, 3, "work"}, {11, 4, "home"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.storedStays << " stays, " << c.wholeDays << " whole days");
        Harness harness;
        std::vector<FenkStay> stored;
        for (int index = 0; index < c.storedStays; ++index) {
            stored.push_back(stay(daysBeforeNow(days(c.storedStays - index + 1)), index < c.wholeDays));
        }
        harness.storeCandidate(stored);
        const Timestamp arrival = daysBeforeNow(hours(12));

        EXPECT_EQ(harness.analysis.analyseStay(record(arrival, arrival + hours(10))), std::nullopt);

        const auto places = harness.places();
        if (!c.type) {
            EXPECT_THAT(places, IsEmpty());
            continue;
        }
        const FenkRelevantPlace expected{std::string(kCell), stored.front().arrival, arrival + hours(10), c.type,
                                         c.storedStays + 1};
        EXPECT_EQ(places, (RelevantPlaceMap{{std::string(kCell), expected}}));
        EXPECT_EQ(harness.analysis.relevantPlaces(), places);
    }
}

TEST(StayAnalysisTest, StatisticsCoverStaysThatEndedUnderNinetyDaysAgo) {
    const auto justRecent = days(90) - seconds(1);
    const struct {
        const char* name;
        TimestampClock::duration wholeDayAge;
        TimestampClock::duration dayAge;
        float expectedPctNight;
        const char* type;
    } cases[] = {
        {"whole days exactly 90 days old are left out", days(90), justRecent, 0.0F, "work"},
        {"whole days a second younger count", justRecent, days(90), 1.0F, "home"},
        {"departures still to come count", -hours(1), days(200), 1.0F, "home"},
        {"all stays old keeps the previous share and still promotes", days(90), days(120), 0.5F, "home"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Harness harness;
        std::vector<FenkStay> stored;
        for (int index = 0; index < 11; ++index) {
            stored.push_back(index < 5 ? stay(daysBeforeNow(c.wholeDayAge), true) : stay(daysBeforeNow(c.dayAge), false));
        }
        harness.storeCandidate(stored, 0.5F);

        harness.analysis.updateCandidateStays();

        EXPECT_EQ(harness.candidates().at(std::string(kCell)).pctNight, c.expectedPctNight);
        EXPECT_EQ(harness.places().at(std::string(kCell)).type, c.type);
    }
}

TEST(StayAnalysisTest, UnreadableMapsNeverCostLearnedPlaces) {
    Harness harness;
    ConsoleCapture console;
    const Timestamp arrival = daysBeforeNow(days(1));

    // An undecodable candidate map gives way to a fresh one, silently.
    harness.preferences.setData(settingsKeys::kFenkCandidateStays, toData("{\"x\":"));
    harness.analysis.analyseStay(record(arrival, arrival + hours(5)));
    EXPECT_THAT(harness.stays(), SizeIs(1));
    EXPECT_THAT(console.lines(), IsEmpty());

    // An undecodable place map reads as empty, and says so.
    harness.secureStore.save(keychainAccounts::kFenkStoredPositions, toData("[]"));
    EXPECT_THAT(harness.analysis.relevantPlaces(), IsEmpty());
    EXPECT_THAT(console.lines(), ElementsAre(HasSubstr("relevant places")));

    // A place map that is there but cannot be read now is not overwritten by a promotion.
    const RelevantPlaceMap learned{{"sp3e9bh", FenkRelevantPlace{.idGeoHash = "sp3e9bh", .type = "home", .numStays = 30}}};
    harness.storePlaces(learned);
    harness.storeCandidate(std::vector<FenkStay>(10, stay(arrival, false)));
    harness.secureStore.failReads();
    harness.analysis.analyseStay(record(arrival, arrival + hours(6)));
    harness.secureStore.failReads(false);
    EXPECT_EQ(harness.places(), learned);
}

TEST(StayAnalysisTest, StaysFiledFromSeveralThreadsAreAllKept) {
    Harness harness;
    constexpr int kThreads = 4;
    constexpr int kStaysPerThread = 40;
    {
        std::latch start(kThreads);
        std::vector<std::jthread> threads;
        for (int thread = 0; thread < kThreads; ++thread) {
            threads.emplace_back([&, thread] {
                start.arrive_and_wait();
                for (int index = 0; index < kStaysPerThread; ++index) {
                    // Ten stays a cell, so that none becomes a place and stops taking stays.
                    const std::string cell = "ezjmg" + std::to_string(thread) + std::to_string(index % 4);
                    const Timestamp arrival = daysBeforeNow(days(1) + hours(index));
                    harness.analysis.analyseStay(record(arrival, arrival + hours(5), cell));
                }
            });
        }
    }
    std::size_t filed = 0;
    for (const auto& [cell, candidate] : harness.candidates()) filed += candidate.stayCount();
    EXPECT_EQ(filed, std::size_t{kThreads * kStaysPerThread});
}

}  // namespace
}  // namespace fenk
