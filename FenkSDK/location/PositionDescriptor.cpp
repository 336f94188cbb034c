#include "FenkSDK/location/PositionDescriptor.h"

#include "FenkSDK/location/PositionDecision.h"
#include "FenkSDK/runtime/DecimalText.h"

#include <algorithm>
#include <chrono>

namespace fenk {
namespace {

void appendPiece(std::string& text, std::string_view name, const std::optional<double>& value) {
    if (!value) return;
    text += ',';
    text += name;
    text += ':';
    text += fixedDecimals(*value, 0);
}

// Whole seconds since 1970, rounded toward the past.
double unixSeconds(Timestamp instant) {
    constexpr auto kUnixEpoch = std::chrono::sys_days{std::chrono::year{1970} / 1 / 1} - detail::kTimestampEpoch;
    const auto sinceUnixEpoch = instant.time_since_epoch() - std::chrono::duration_cast<TimestampClock::duration>(kUnixEpoch);
    return static_cast<double>(std::chrono::floor<std::chrono::seconds>(sinceUnixEpoch).count());
}

}  // namespace

std::string describePosition(const StoredLocation& record, const std::optional<std::string>& placeTag,
                             double dwell, std::optional<ConnectionKind> link) {
    std::string text = "time:" + fixedDecimals(record.arrivalDate ? unixSeconds(*record.arrivalDate) : 0.0, 0);
    if (placeTag) text += ",tag:" + *placeTag;
    appendPiece(text, "speed", record.speed);
    appendPiece(text, "altitude", record.altitude);
    appendPiece(text, "accuracy", record.horizontalAccuracy);
    appendPiece(text, "bearing", record.course);
    if (dwell > 0) appendPiece(text, "dwelltime", dwell);
    if (link == ConnectionKind::cellular) text += ",network_lan:Cell";
    if (link == ConnectionKind::wifi) text += ",network_lan:Wifi";
    return text;
}

double dwellSeconds(const StoredLocation& record) {
    if (!record.arrivalDate || !record.departureDate) return 0;
    if (*record.arrivalDate == distantPast() || isOpen(record)) return 0;
    const auto seconds = std::chrono::duration<double>(*record.departureDate - *record.arrivalDate).count();
    return std::max(seconds, 0.0);
}

}  // namespace fenk
