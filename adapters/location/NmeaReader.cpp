#include "adapters/location/NmeaReader.h"

#include "adapters/location/TextNumbers.h"
#include "adapters/location/TraceBuilder.h"
#include "adapters/location/TraceUnits.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace fenk {
namespace {

using std::chrono::microseconds;

constexpr double kMetersPerSecondPerKnot = 1852.0 / 3600.0;

// What one sentence says, as far as it says it.
struct Sentence {
    microseconds timeOfDay{};
    std::optional<std::chrono::sys_days> date;  // RMC only
    LocationCoordinate2D coordinate{};
    double speed{kUnknownValue};
    double course{kUnknownValue};
    double altitude{kUnknownValue};
    double horizontalAccuracy{kUnknownValue};
};

// The sentences of one instant.
struct Epoch {
    microseconds timeOfDay{};
    std::size_t line{};
    std::optional<Sentence> rmc;
    std::optional<Sentence> gga;
};

// A sentence to merge, or nothing to use (another type, no fix); or the reason it does not read.
struct Parsed {
    std::optional<Sentence> sentence;
    bool isRmc{false};
    std::optional<std::string> error;
};

Parsed failure(std::string message) {
    Parsed parsed;
    parsed.error = std::move(message);
    return parsed;
}

std::vector<std::string_view> splitFields(std::string_view body) {
    std::vector<std::string_view> fields;
    for (;;) {
        const auto comma = body.find(',');
        fields.push_back(body.substr(0, comma));
        if (comma == std::string_view::npos) return fields;
        body.remove_prefix(comma + 1);
    }
}

std::optional<int> twoDigits(std::string_view text, std::size_t at) {
    const auto value = parseDigits(text.substr(at, 2));
    if (!value) return std::nullopt;
    return static_cast<int>(*value);
}

// "hhmmss" with optional fractional seconds, kept to the microsecond.
std::optional<microseconds> parseTimeOfDay(std::string_view text) {
    if (text.size() < 6) return std::nullopt;
    const auto hour = twoDigits(text, 0);
    const auto minute = twoDigits(text, 2);
    const auto second = twoDigits(text, 4);
    if (!hour || !minute || !second || *hour > 23 || *minute > 59 || *second > 59) return std::nullopt;
    std::int64_t fraction = 0;
    if (text.size() > 6) {
        if (text[6] != '.') return std::nullopt;
        std::string_view digits = text.substr(7);
        if (digits.size() > 6) digits = digits.substr(0, 6);
        const auto value = parseDigits(digits);
        if (!value || !parseDigits(text.substr(7))) return std::nullopt;
        fraction = *value;
        for (std::size_t i = digits.size(); i < 6; ++i) fraction *= 10;
    }
    return std::chrono::hours{*hour} + std::chrono::minutes{*minute} + std::chrono::seconds{*second} +
           microseconds{fraction};
}

// "ddmmyy"; two-digit years from 80 are the 1900s, the rest the 2000s.
std::optional<std::chrono::sys_days> parseDate(std::string_view text) {
    if (text.size() != 6) return std::nullopt;
    const auto day = twoDigits(text, 0);
    const auto month = twoDigits(text, 2);
    const auto year = twoDigits(text, 4);
    if (!day || !month || !year) return std::nullopt;
    const std::chrono::year_month_day date{std::chrono::year{*year >= 80 ? 1900 + *year : 2000 + *year},
                                           std::chrono::month{static_cast<unsigned>(*month)},
                                           std::chrono::day{static_cast<unsigned>(*day)}};
    if (!date.ok()) return std::nullopt;
    return std::chrono::sys_days{date};
}

// "dddmm.mmmm" and a hemisphere letter; `negative` is the letter of the southern or western half.
std::optional<double> parseAngle(std::string_view text, std::string_view hemisphere, char positive, char negative,
                                 double limit) {
    const auto value = parseFiniteDouble(text);
    if (!value || *value < 0 || hemisphere.size() != 1) return std::nullopt;
    const double degrees = std::floor(*value / 100);
    const double arcMinutes = *value - degrees * 100;
    const double angle = degrees + arcMinutes / 60;
    if (arcMinutes >= 60 || angle > limit) return std::nullopt;
    if (hemisphere.front() == positive) return angle;
    if (hemisphere.front() == negative) return -angle;
    return std::nullopt;
}

// An empty field is a value the receiver did not report.
std::optional<double> optionalNumber(std::string_view text, double low, double high) {
    if (text.empty()) return kUnknownValue;
    const auto value = parseFiniteDouble(text);
    if (!value || *value < low || *value > high) return std::nullopt;
    return value;
}

constexpr double kUnbounded = std::numeric_limits<double>::max();

// Time, latitude and longitude from the fields at `at`, `at + 1` (and their hemispheres).
std::optional<std::string> readPosition(const std::vector<std::string_view>& fields, std::size_t at, Sentence& sentence) {
    const auto latitude = parseAngle(fields[at], fields[at + 1], 'N', 'S', 90);
    if (!latitude) return "bad latitude";
    const auto longitude = parseAngle(fields[at + 2], fields[at + 3], 'E', 'W', 180);
    if (!longitude) return "bad longitude";
    sentence.coordinate = {*latitude, *longitude};
    return std::nullopt;
}

Parsed parseRmc(const std::vector<std::string_view>& fields) {
    if (fields.size() < 10) return failure("truncated RMC sentence");
    const auto time = parseTimeOfDay(fields[1]);
    if (!time) return failure("bad time");
    if (fields[2] != "A") return {};
    Sentence sentence;
    sentence.timeOfDay = *time;
    if (auto error = readPosition(fields, 3, sentence)) return failure(*std::move(error));
    const auto knots = optionalNumber(fields[7], 0, kUnbounded);
    if (!knots) return failure("bad speed");
    const auto course = optionalNumber(fields[8], 0, 360);
    if (!course) return failure("bad course");
    sentence.date = parseDate(fields[9]);
    if (!sentence.date) return failure("bad date");
    sentence.speed = *knots * kMetersPerSecondPerKnot;
    sentence.course = *course;
    return Parsed{sentence, true, std::nullopt};
}

Parsed parseGga(const std::vector<std::string_view>& fields) {
    if (fields.size() < 10) return failure("truncated GGA sentence");
    const auto time = parseTimeOfDay(fields[1]);
    if (!time) return failure("bad time");
    const auto quality = fields[6].empty() ? std::optional<std::int64_t>{0} : parseDigits(fields[6]);
    if (!quality) return failure("bad fix quality");
    if (*quality == 0) return {};
    Sentence sentence;
    sentence.timeOfDay = *time;
    if (auto error = readPosition(fields, 2, sentence)) return failure(*std::move(error));
    const auto hdop = optionalNumber(fields[8], 0, kUnbounded);
    if (!hdop) return failure("bad hdop");
    const auto altitude = optionalNumber(fields[9], -kUnbounded, kUnbounded);
    if (!altitude) return failure("bad altitude");
    sentence.horizontalAccuracy = *hdop * kMetersPerHdop;
    sentence.altitude = *altitude;
    return Parsed{sentence, false, std::nullopt};
}

bool checksumMatches(std::string_view body, std::string_view checksum) {
    if (checksum.size() != 2) return false;
    unsigned expected = 0;
    for (const char c : checksum) {
        expected <<= 4;
        if (c >= '0' && c <= '9') {
            expected |= static_cast<unsigned>(c - '0');
        } else if (c >= 'A' && c <= 'F') {
            expected |= static_cast<unsigned>(c - 'A' + 10);
        } else if (c >= 'a' && c <= 'f') {
            expected |= static_cast<unsigned>(c - 'a' + 10);
        } else {
            return false;
        }
    }
    unsigned actual = 0;
    for (const char c : body) actual ^= static_cast<unsigned char>(c);
    return actual == expected;
}

// Turns the sentences of each instant into fixes, carrying the date from RMC to GGA.
class EpochMerger {
public:
    explicit EpochMerger(const TraceLimits& limits) : builder_(limits) {}

    std::optional<TraceError> add(const Sentence& sentence, bool isRmc, std::size_t line) {
        if (epoch_ && epoch_->timeOfDay != sentence.timeOfDay) {
            if (auto error = flush()) return error;
        }
        if (!epoch_) epoch_ = Epoch{sentence.timeOfDay, line, std::nullopt, std::nullopt};
        (isRmc ? epoch_->rmc : epoch_->gga) = sentence;
        return std::nullopt;
    }

    TraceResult finish() && {
        if (auto error = flush()) return *std::move(error);
        return std::move(builder_).finish();
    }

private:
    std::optional<TraceError> flush() {
        if (!epoch_) return std::nullopt;
        const Epoch epoch = *std::move(epoch_);
        epoch_.reset();
        if (epoch.rmc) {
            date_ = epoch.rmc->date;
        } else if (date_ && epoch.timeOfDay < lastTimeOfDay_) {
            *date_ += std::chrono::days{1};
        }
        if (!date_) return std::nullopt;
        lastTimeOfDay_ = epoch.timeOfDay;

        const Sentence& position = epoch.rmc ? *epoch.rmc : *epoch.gga;
        LocationFix fix{position.coordinate, kUnknownValue, kUnknownValue, kUnknownValue, kUnknownValue, kUnknownValue, {}};
        fix.timestamp = Timestamp{*date_ - detail::kTimestampEpoch + epoch.timeOfDay};
        if (epoch.rmc) {
            fix.speed = epoch.rmc->speed;
            fix.course = epoch.rmc->course;
        }
        if (epoch.gga) {
            fix.altitude = epoch.gga->altitude;
            fix.horizontalAccuracy = epoch.gga->horizontalAccuracy;
        }
        return builder_.add(fix, epoch.line);
    }

    TraceBuilder builder_;
    std::optional<Epoch> epoch_;
    std::optional<std::chrono::sys_days> date_;
    microseconds lastTimeOfDay_{};
};

}  // namespace

TraceResult readNmea(std::string_view log, const TraceLimits& limits) {
    EpochMerger merger(limits);
    std::size_t lineNumber = 0;
    while (!log.empty()) {
        const auto end = log.find('\n');
        const std::string_view line = trimmed(log.substr(0, end));
        log.remove_prefix(end == std::string_view::npos ? log.size() : end + 1);
        ++lineNumber;
        // Blank lines, and encapsulated sentences ("!AIVDM") that carry no position of ours.
        if (line.empty() || line.front() == '!') continue;
        if (line.front() != '$') return TraceError{lineNumber, "not an NMEA sentence"};

        std::string_view body = line.substr(1);
        if (const auto star = body.find('*'); star != std::string_view::npos) {
            if (!checksumMatches(body.substr(0, star), body.substr(star + 1))) return TraceError{lineNumber, "bad checksum"};
            body = body.substr(0, star);
        }
        const std::vector<std::string_view> fields = splitFields(body);
        // Talker and type: "GPRMC", "GNGGA". Proprietary sentences ("PGRME") are of no use here.
        const std::string_view address = fields.front();
        if (address.size() != 5 || address.front() == 'P') continue;
        const std::string_view type = address.substr(2);
        const Parsed parsed = type == "RMC" ? parseRmc(fields) : type == "GGA" ? parseGga(fields) : Parsed{};
        if (parsed.error) return TraceError{lineNumber, *parsed.error};
        if (!parsed.sentence) continue;
        if (auto error = merger.add(*parsed.sentence, parsed.isRmc, lineNumber)) return *std::move(error);
    }
    return std::move(merger).finish();
}

}  // namespace fenk
