#include "adapters/location/GpxReader.h"

#include "adapters/location/IsoTime.h"
#include "adapters/location/TextNumbers.h"
#include "adapters/location/TraceBuilder.h"
#include "adapters/location/TraceUnits.h"
#include "adapters/location/XmlTokenizer.h"

#include <array>
#include <cstddef>
#include <limits>
#include <optional>
#include <string>

namespace fenk {
namespace {

constexpr std::array kFields{std::string_view{"time"}, std::string_view{"ele"}, std::string_view{"speed"},
                             std::string_view{"course"}, std::string_view{"hdop"}};

// The point child element of that name that the reader keeps, or nothing. The view outlives the token.
std::string_view knownField(std::string_view name) {
    for (const auto field : kFields) {
        if (field == name) return field;
    }
    return {};
}

std::optional<double> attributeNumber(const XmlToken& tag, std::string_view name) {
    for (const auto& attribute : tag.attributes) {
        if (attribute.name == name) return parseFiniteDouble(trimmed(attribute.value));
    }
    return std::nullopt;
}

// A point being read: its fix, and whether it had a time.
struct OpenPoint {
    LocationFix fix;
    bool timed{false};
    std::size_t line{};
    std::size_t depth{};
};

std::optional<OpenPoint> openPoint(const XmlToken& tag, std::size_t depth, std::optional<TraceError>& error) {
    const auto latitude = attributeNumber(tag, "lat");
    const auto longitude = attributeNumber(tag, "lon");
    if (!latitude || *latitude < -90 || *latitude > 90) {
        error = TraceError{tag.line, "bad latitude"};
        return std::nullopt;
    }
    if (!longitude || *longitude < -180 || *longitude > 180) {
        error = TraceError{tag.line, "bad longitude"};
        return std::nullopt;
    }
    OpenPoint point;
    point.fix = LocationFix{{*latitude, *longitude}, kUnknownValue, kUnknownValue, kUnknownValue, kUnknownValue, kUnknownValue, {}};
    point.line = tag.line;
    point.depth = depth;
    return point;
}

// Stores one child element's text in the point; the error message when it does not read.
std::optional<std::string> applyField(OpenPoint& point, std::string_view field, std::string_view rawText) {
    const std::string_view text = trimmed(rawText);
    if (field == "time") {
        const auto time = parseIsoTime(text);
        if (!time) return "bad time";
        point.fix.timestamp = *time;
        point.timed = true;
        return std::nullopt;
    }
    const auto value = parseFiniteDouble(text);
    if (field == "ele") {
        if (!value) return "bad elevation";
        point.fix.altitude = *value;
    } else if (field == "speed") {
        if (!value || *value < 0) return "bad speed";
        point.fix.speed = *value;
    } else if (field == "course") {
        if (!value || *value < 0 || *value > 360) return "bad course";
        point.fix.course = *value;
    } else {
        if (!value || *value < 0) return "bad hdop";
        point.fix.horizontalAccuracy = *value * kMetersPerHdop;
    }
    return std::nullopt;
}

}  // namespace

TraceResult readGpx(std::string_view document, const TraceLimits& limits) {
    XmlTokenizer xml(document);
    const XmlToken root = xml.next();
    if (root.kind == XmlToken::Kind::error) return TraceError{root.line, root.text};
    if (root.kind != XmlToken::Kind::startTag || root.name != "gpx") {
        return TraceError{root.line, "not a GPX or NMEA trace"};
    }

    TraceBuilder builder(limits);
    std::optional<OpenPoint> point;
    std::string_view field;  // the point's child element being read, if any
    std::size_t fieldDepth = 0;
    std::size_t fieldLine = 0;
    std::string fieldText;
    std::size_t depth = 1;
    for (;;) {
        XmlToken token = xml.next();
        switch (token.kind) {
            case XmlToken::Kind::error:
                return TraceError{token.line, std::move(token.text)};
            case XmlToken::Kind::end:
                return std::move(builder).finish();
            case XmlToken::Kind::startTag:
                ++depth;
                if (!point && (token.name == "trkpt" || token.name == "rtept")) {
                    std::optional<TraceError> error;
                    point = openPoint(token, depth, error);
                    if (error) return *std::move(error);
                } else if (point && field.empty() && !knownField(token.name).empty()) {
                    field = knownField(token.name);
                    fieldDepth = depth;
                    fieldLine = token.line;
                    fieldText.clear();
                }
                break;
            case XmlToken::Kind::text:
                if (!field.empty() && depth == fieldDepth) fieldText += token.text;
                break;
            case XmlToken::Kind::endTag:
                if (!field.empty() && depth == fieldDepth) {
                    if (auto message = applyField(*point, field, fieldText)) return TraceError{fieldLine, *std::move(message)};
                    field = {};
                } else if (point && depth == point->depth) {
                    if (point->timed) {
                        if (auto error = builder.add(point->fix, point->line)) return *std::move(error);
                    }
                    point.reset();
                }
                --depth;
                break;
        }
    }
}

}  // namespace fenk
