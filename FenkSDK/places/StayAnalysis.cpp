#include "FenkSDK/places/StayAnalysis.h"

#include "FenkSDK/places/DeviceCalendar.h"
#include "FenkSDK/ports/Clock.h"

#include <algorithm>
#include <cctype>
#include <chrono>

namespace fenk {
namespace {

using namespace std::chrono_literals;

constexpr auto kShortestStay = 3h;
constexpr auto kLongStay = 48h;  // longer stays also check the two days after arrival
constexpr auto kWholeDay = 24h;
constexpr auto kRecentWindow = std::chrono::days(90);
constexpr std::size_t kStaysToPromote = 11;
constexpr float kMostNightsOfWork = 0.25F;

double hours(TimestampClock::duration length) { return std::chrono::duration<double, std::ratio<3600>>(length).count(); }

std::string upperCase(std::string text) {
    for (char& letter : text) letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    return text;
}

bool alreadyFiled(const FenkCandidateStay& candidate, const FenkStay& stay) {
    if (!candidate.arrStays) return false;
    return std::ranges::any_of(candidate.arrStays->stays, [&](const FenkStay& filed) {
        return filed.idGeoHash == stay.idGeoHash && filed.arrival == stay.arrival && filed.departure == stay.departure;
    });
}

FenkRelevantPlace placeFrom(const FenkCandidateStay& candidate, const std::string& type) {
    return FenkRelevantPlace{candidate.idGeoHash, candidate.initialDate, candidate.finalDate, type,
                             static_cast<int>(candidate.stayCount())};
}

// Mean length and the shares of whole-day and labour-day stays over the stays that ended less than 90 days
// before now (or end later); a candidate without such stays keeps its previous statistics.
void updateStatistics(FenkCandidateStay& candidate, Timestamp now) {
    double lengths = 0;
    int nights = 0;
    int labourDays = 0;
    int recent = 0;
    for (const FenkStay& stay : candidate.arrStays->stays) {
        if (!stay.departure || now - *stay.departure >= kRecentWindow) continue;
        lengths += stay.lengthStay.value_or(0);
        nights += stay.isNight.value_or(0);
        labourDays += stay.isLabourDay.value_or(0);
        ++recent;
    }
    if (recent == 0) return;
    candidate.mediumStay = lengths / recent;
    candidate.pctNight = static_cast<float>(static_cast<double>(nights) / recent);
    candidate.pctLabourDay = static_cast<float>(static_cast<double>(labourDays) / recent);
}

}  // namespace

StayAnalysis::StayAnalysis(Preferences& preferences, SecureStore& secureStore, const Clock& clock,
                           const Device& device, MonitorRegion monitorRegion)
    : candidates_(preferences),
      places_(secureStore),
      clock_(clock),
      device_(device),
      monitorRegion_(std::move(monitorRegion)) {}

std::optional<std::string> StayAnalysis::analyseStay(const StoredLocation& record) {
    if (!record.geohash || !record.arrivalDate || !record.departureDate) return std::nullopt;
    const std::string& cell = *record.geohash;
    std::optional<std::string> regionIdentifier;
    std::optional<std::string> placeType;
    {
        const std::lock_guard lock(mutex_);
        const RelevantPlaceMap places = places_.load().value_or(RelevantPlaceMap{});
        if (const auto place = places.find(cell); place != places.end()) {
            recordVisitLocked(cell, *record.arrivalDate);
            placeType = place->second.type;
            regionIdentifier = "FENK_LOCATION_" + upperCase(placeType.value_or("")) + "_" + cell;
        } else {
            const Timestamp arrival = *record.arrivalDate;
            const Timestamp departure = *record.departureDate;
            // An unknown arrival or a departure still to come is no length: measured, an open record would
            // file a stay of millions of hours.
            const bool closed = arrival > distantPast() && departure < distantFuture();
            if (closed && departure - arrival > kShortestStay && fileStayLocked(measureStay(cell, arrival, departure))) {
                updateCandidatesLocked();
            }
        }
    }
    // Outside the lock: the location layer may take its own locks.
    if (regionIdentifier && monitorRegion_) monitorRegion_(*regionIdentifier, record.latitude, record.longitude);
    return placeType;
}

void StayAnalysis::recordPlaceVisit(const std::string& cell, Timestamp instant) {
    const std::lock_guard lock(mutex_);
    recordVisitLocked(cell, instant);
}

void StayAnalysis::updateCandidateStays() {
    const std::lock_guard lock(mutex_);
    updateCandidatesLocked();
}

void StayAnalysis::promoteCandidate(const FenkCandidateStay& candidate, const std::string& type) {
    const std::lock_guard lock(mutex_);
    std::optional<RelevantPlaceMap> places = places_.load();
    if (!places || !candidate.idGeoHash) return;
    places->insert_or_assign(*candidate.idGeoHash, placeFrom(candidate, type));
    places_.save(*places);
}

RelevantPlaceMap StayAnalysis::relevantPlaces() const {
    const std::lock_guard lock(mutex_);
    return places_.load().value_or(RelevantPlaceMap{});
}

void StayAnalysis::recordVisitLocked(const std::string& cell, Timestamp instant) {
    std::optional<RelevantPlaceMap> places = places_.load();
    if (!places) return;
    const auto place = places->find(cell);
    if (place == places->end()) return;
    place->second.numStays = place->second.numStays.value_or(0) + 1;
    place->second.finalDate = instant;
    places_.save(*places);
}

void StayAnalysis::updateCandidatesLocked() {
    std::optional<CandidateStayMap> candidates = candidates_.load();
    if (!candidates) return;
    const Timestamp now = timestampFromSystemTime(clock_.now());
    for (auto& [cell, candidate] : *candidates) {
        if (candidate.stayCount() > 0) updateStatistics(candidate, now);
    }
    candidates_.save(*candidates);

    std::optional<RelevantPlaceMap> places = places_.load();
    if (!places) return;
    bool promoted = false;
    for (const auto& [cell, candidate] : *candidates) {
        if (candidate.stayCount() < kStaysToPromote || !candidate.pctNight) continue;
        const char* type = *candidate.pctNight <= kMostNightsOfWork ? "work" : "home";
        places->insert_or_assign(cell, placeFrom(candidate, type));
        promoted = true;
    }
    if (promoted) places_.save(*places);
}

bool StayAnalysis::fileStayLocked(const FenkStay& stay) {
    const std::string& cell = *stay.idGeoHash;
    CandidateStayMap candidates = candidates_.load().value_or(CandidateStayMap{});
    auto [entry, isNew] = candidates.try_emplace(cell);
    FenkCandidateStay& candidate = entry->second;
    // A record uploaded again after a failed attempt comes back with the same stay.
    if (alreadyFiled(candidate, stay)) return false;
    if (isNew) {
        candidate.initialDate = stay.arrival;
        candidate.arrStays.emplace();
    }
    candidate.finalDate = stay.departure;
    if (candidate.arrStays) candidate.arrStays->stays.push_back(stay);
    candidate.idGeoHash = cell;
    candidates_.save(candidates);
    return true;
}

FenkStay StayAnalysis::measureStay(const std::string& cell, Timestamp arrival, Timestamp departure) const {
    const DeviceCalendar calendar(device_);
    bool weekend = calendar.isWeekend(arrival) || calendar.isWeekend(departure);
    if (departure - arrival > kLongStay) {
        // Only the two days after arrival are checked between the ends, however long the stay.
        if (const std::optional<Timestamp> firstDay = calendar.nextDay(arrival)) {
            weekend = weekend || calendar.isWeekend(*firstDay);
            if (const std::optional<Timestamp> secondDay = calendar.nextDay(*firstDay)) {
                weekend = weekend || calendar.isWeekend(*secondDay);
            }
        }
    }
    return FenkStay{cell,
                    arrival,
                    departure,
                    hours(departure - arrival),
                    weekend ? 0 : 1,
                    departure - arrival >= kWholeDay ? 1 : 0};
}

}  // namespace fenk
