#include "tools/fenk-demo/SvgTimeline.h"

#include "tools/fenk-platform/PlatformPages.h"

#include <algorithm>
#include <charconv>
#include <chrono>

namespace fenk {
namespace {

constexpr double kHeaderHeight = 26;
constexpr double kRowHeight = 22;
constexpr double kBarHeight = 14;
constexpr double kLegendHeight = 34;
constexpr double kBarX = 130;
constexpr double kBarWidth = 576;  // 24 px an hour
constexpr double kMinutesPerDay = 1440;
constexpr double kUploadsX = 730;
constexpr double kQueueX = 835;
constexpr double kSmallBarWidth = 56;
constexpr double kNoticesX = 968;

std::string rect(double x, double y, double width, double height, const std::string& paint) {
    return "<rect" + svgAttribute("x", x) + svgAttribute("y", y) + svgAttribute("width", width) + svgAttribute("height", height) +
           " fill=\"" + paint + "\"/>";
}

std::string text(double x, double y, const std::string& content, const char* anchor = "start") {
    return "<text" + svgAttribute("x", x) + svgAttribute("y", y) + " text-anchor=\"" + anchor + "\">" + escapeHtml(content) +
           "</text>";
}

// "Mon" for "2026-01-05"; empty when the text is no date.
std::string weekday(const std::string& date) {
    int year = 0;
    unsigned month = 0, day = 0;
    const auto number = [&](std::size_t from, std::size_t length, auto& value) {
        if (date.size() < from + length) return false;
        const auto [end, error] = std::from_chars(date.data() + from, date.data() + from + length, value);
        return error == std::errc{} && end == date.data() + from + length;
    };
    if (date.size() != 10 || !number(0, 4, year) || !number(5, 2, month) || !number(8, 2, day)) return {};
    const std::chrono::year_month_day ymd{std::chrono::year{year}, std::chrono::month{month}, std::chrono::day{day}};
    if (!ymd.ok()) return {};
    constexpr const char* names[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    return names[std::chrono::weekday{std::chrono::sys_days{ymd}}.c_encoding()];
}

std::string spanPaint(const std::string& kind) {
    if (kind == "stay") return cssColour(kTimelineStayColour);
    if (kind == "moving") return cssColour(kTimelineMovingColour);
    if (kind == "offline") return "url(#offline)";
    if (kind == "faults") return "url(#faults)";
    return {};
}

// Stays and moves first, then the hatched overlays over them.
std::string spans(const DaySummary& day, double y) {
    std::string solid, overlays;
    for (const auto& span : day.spans) {
        const std::string paint = spanPaint(span.kind);
        const auto from = static_cast<double>(std::clamp<std::int64_t>(span.fromMinute, 0, 1440));
        const auto to = static_cast<double>(std::clamp<std::int64_t>(span.toMinute, 0, 1440));
        if (paint.empty() || to <= from) continue;
        const bool overlay = paint.starts_with("url(");
        (overlay ? overlays : solid) += rect(kBarX + from / kMinutesPerDay * kBarWidth, y,
                                             (to - from) / kMinutesPerDay * kBarWidth, kBarHeight, paint);
    }
    return solid + overlays;
}

std::string smallBar(double x, double y, std::int64_t value, std::int64_t maximum, const Rgb& colour) {
    const double width = maximum > 0 ? static_cast<double>(std::max<std::int64_t>(value, 0)) /
                                           static_cast<double>(maximum) * kSmallBarWidth
                                     : 0;
    return rect(x, y + 3, width, kBarHeight - 6, cssColour(colour)) +
           text(x + width + 4, y + kBarHeight - 3, std::to_string(value));
}

std::string dayRow(const DaySummary& day, double y, std::int64_t maxUploads, std::int64_t maxQueue) {
    const double baseline = y + kBarHeight - 3;
    return text(0, baseline, day.date) + text(kBarX - 10, baseline, weekday(day.date), "end") +
           rect(kBarX, y, kBarWidth, kBarHeight, "#f1f3f5") + spans(day, y) +
           smallBar(kUploadsX, y, day.uploads, maxUploads, kTimelineUploadsColour) +
           smallBar(kQueueX, y, day.maxQueue, maxQueue, kTimelineQueueColour) +
           text(kNoticesX, baseline, std::to_string(day.notices), "end");
}

// Stripes over a veil that washes out what lies beneath, which still shows through.
std::string patterns() {
    const auto hatch = [](const char* id, const Rgb& colour) {
        return std::string("<pattern id=\"") + id +
               "\" width=\"6\" height=\"6\" patternUnits=\"userSpaceOnUse\" patternTransform=\"rotate(45)\">"
               "<rect width=\"6\" height=\"6\" fill=\"#fff\" fill-opacity=\"0.6\"/>"
               "<rect width=\"2.5\" height=\"6\" fill=\"" + cssColour(colour) + "\"/></pattern>";
    };
    return "<defs>" + hatch("offline", kTimelineOfflineColour) + hatch("faults", kTimelineFaultsColour) + "</defs>";
}

std::string header(double rowsBottom) {
    std::string svg = "<g class=\"hours\" font-size=\"11\" fill=\"#868e96\">";
    for (int hour = 0; hour <= 24; hour += 6) {
        const double x = kBarX + hour / 24.0 * kBarWidth;
        svg += text(x, 16, std::to_string(hour) + ":00", hour == 0 ? "start" : hour == 24 ? "end" : "middle") +
               "<line" + svgAttribute("x1", x) + svgAttribute("y1", 20) + svgAttribute("x2", x) + svgAttribute("y2", rowsBottom) +
               " stroke=\"#212529\" stroke-opacity=\"0.25\" stroke-width=\"1\"/>";
    }
    return svg + text(kUploadsX, 16, "uploads") + text(kQueueX, 16, "max queue") +
           text(kNoticesX, 16, "notices", "end") + "</g>";
}

}  // namespace

std::string renderTimelineSvg(const DemoFacts& facts) {
    std::int64_t maxUploads = 0, maxQueue = 0;
    for (const auto& day : facts.days) {
        maxUploads = std::max(maxUploads, day.uploads);
        maxQueue = std::max(maxQueue, day.maxQueue);
    }
    const double rowsBottom = kHeaderHeight + static_cast<double>(facts.days.size()) * kRowHeight;
    std::string rows = "<g class=\"days\" font-size=\"12\" fill=\"#343a40\">";
    double y = kHeaderHeight;
    for (const auto& day : facts.days) {
        rows += dayRow(day, y, maxUploads, maxQueue);
        y += kRowHeight;
    }
    rows += "</g>";
    // The hour lines go over the bars, so that a span's time reads off them.
    return "<svg id=\"timeline\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " + svgNumber(kDrawingWidth) + " " +
           svgNumber(rowsBottom + kLegendHeight) + "\" role=\"img\" aria-label=\"What each day held\">" + patterns() +
           rows + header(rowsBottom) +
           svgLegend(0, rowsBottom + 24,
                     {{Swatch::box, cssColour(kTimelineStayColour), "stay"},
                      {Swatch::box, cssColour(kTimelineMovingColour), "moving"},
                      {Swatch::box, "url(#offline)", "offline"},
                      {Swatch::box, "url(#faults)", "platform faults"},
                      {Swatch::box, cssColour(kTimelineUploadsColour), "uploads"},
                      {Swatch::box, cssColour(kTimelineQueueColour), "max queue (scaled to the run's deepest)"}}) +
           "</svg>";
}

}  // namespace fenk
