#include "adapters/location/GpxWriter.h"

#include "adapters/location/IsoTime.h"
#include "adapters/location/TraceUnits.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

namespace fenk {
namespace {


// Negative speeds, courses and accuracies are how some sources say "unknown": such values are left out.
double known(double value, double high = std::numeric_limits<double>::max()) {
    return value >= 0 && value <= high ? value : kUnknownValue;
}

void appendNumber(std::string& out, double value) {
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

void appendElement(std::string& out, std::string_view name, double value) {
    if (!std::isfinite(value)) return;
    out += '<';
    out += name;
    out += '>';
    appendNumber(out, value);
    out += "</";
    out += name;
    out += '>';
}

}  // namespace

std::optional<std::string> writeGpx(std::span<const LocationFix> fixes) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<gpx version=\"1.1\" creator=\"Fenk\" xmlns=\"http://www.topografix.com/GPX/1/1\" "
        "xmlns:fenk=\"urn:fenk:gpx-extensions:1\">\n<trk><trkseg>\n";
    for (const LocationFix& fix : fixes) {
        const auto time = formatIsoTime(fix.timestamp);
        if (!time || !isValidCoordinate(fix.coordinate)) return std::nullopt;
        out += "<trkpt lat=\"";
        appendNumber(out, fix.coordinate.latitude);
        out += "\" lon=\"";
        appendNumber(out, fix.coordinate.longitude);
        out += "\">";
        appendElement(out, "ele", fix.altitude);
        out += "<time>" + *time + "</time>";
        appendElement(out, "hdop", known(fix.horizontalAccuracy) / kMetersPerHdop);
        const double speed = known(fix.speed);
        const double course = known(fix.course, 360);
        if (std::isfinite(speed) || std::isfinite(course)) {
            out += "<extensions>";
            appendElement(out, "fenk:speed", speed);
            appendElement(out, "fenk:course", course);
            out += "</extensions>";
        }
        out += "</trkpt>\n";
    }
    out += "</trkseg></trk>\n</gpx>\n";
    return out;
}

}  // namespace fenk
