#include "tools/fenk-demo/ReportHtml.h"

#include "FenkSDK/runtime/DecimalText.h"
#include "tools/fenk-demo/NumberText.h"
#include "tools/fenk-demo/SvgMap.h"
#include "tools/fenk-demo/SvgTimeline.h"
#include "tools/fenk-platform/PlatformPages.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

namespace fenk {
namespace {

constexpr std::string_view kStyle = R"(
:root { color-scheme: light; }
* { box-sizing: border-box; }
body { margin: 0; background: #f4f6f8; color: #212529;
       font: 15px/1.5 system-ui, -apple-system, "Segoe UI", Roboto, "Helvetica Neue", Arial, sans-serif; }
main { max-width: 1100px; margin: 0 auto; padding: 28px 24px 48px; }
header h1 { font-size: 26px; margin: 0 0 4px; font-weight: 650; }
header p { margin: 2px 0; color: #495057; }
section { background: #fff; border: 1px solid #e3e7eb; border-radius: 10px; padding: 18px 22px; margin-top: 22px; }
h2 { font-size: 17px; margin: 0 0 12px; font-weight: 600; color: #343a40; }
.figures { display: grid; grid-template-columns: 1.4fr repeat(5, 1fr); gap: 12px; margin-top: 22px; }
.figure { background: #fff; border: 1px solid #e3e7eb; border-radius: 10px; padding: 12px 16px; }
.figure b { display: block; font-size: 26px; font-weight: 650; font-variant-numeric: tabular-nums; }
.figure span { color: #6c757d; font-size: 13px; }
.figure.good { background: #ebfbee; border-color: #8ce99a; } .figure.good b { color: #2b8a3e; }
.figure.bad { background: #fff5f5; border-color: #ffa8a8; } .figure.bad b { color: #c92a2a; }
svg { display: block; width: 100%; height: auto; }
svg text { font-family: inherit; }
table { width: 100%; border-collapse: collapse; font-size: 14px; font-variant-numeric: tabular-nums; }
th, td { text-align: left; padding: 6px 10px; border-bottom: 1px solid #edf0f2; vertical-align: top; }
th { color: #6c757d; font-weight: 600; font-size: 13px; }
td.number, th.number { text-align: right; }
code { font: 13px/1.4 ui-monospace, "SFMono-Regular", Menlo, Consolas, monospace; background: #f1f3f5;
       padding: 1px 5px; border-radius: 4px; word-break: break-all; }
ul.samples { margin: 6px 0 0; padding-left: 18px; }
.columns { display: grid; grid-template-columns: 1fr 1fr; gap: 24px; }
.empty { color: #868e96; font-style: italic; }
@media (max-width: 760px) {
  .figures { grid-template-columns: repeat(3, 1fr); }
  .columns { grid-template-columns: 1fr; }
}
@media print {
  * { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
  body { background: #fff; font-size: 12px; }
  main { max-width: none; padding: 0; }
  section, .figure { break-inside: avoid; border-color: #ccc; }
}
)";

// "2026-01-05 08:14" from "2026-01-05T08:14:00Z"; other text as it is.
std::string readableTime(const std::string& time) {
    if (time.size() == 20 && time[10] == 'T' && time.back() == 'Z') return time.substr(0, 10) + " " + time.substr(11, 5);
    return time;
}

std::string cell(const std::string& text, bool number = false) {
    return std::string(number ? "<td class=\"number\">" : "<td>") + escapeHtml(text) + "</td>";
}

std::string headings(std::initializer_list<std::string_view> names) {
    std::string row = "<tr>";
    for (const auto name : names) row += "<th>" + escapeHtml(name) + "</th>";
    return row + "</tr>";
}

std::string emptyNote(std::string_view text) { return "<p class=\"empty\">" + escapeHtml(text) + "</p>"; }

std::string figure(std::string_view label, const std::string& value, std::string_view tone = {}) {
    return "<div class=\"figure" + (tone.empty() ? std::string() : " " + std::string(tone)) + "\"><b>" +
           escapeHtml(value) + "</b><span>" + escapeHtml(label) + "</span></div>";
}

std::string seconds(double value) { return fixedDecimals(value, 1) + " s"; }

std::string pageHeader(const DemoFacts& facts) {
    return "<header><h1>Fenk demo: " + escapeHtml(facts.trace) + "</h1><p>Replayed from <b>" +
           escapeHtml(readableTime(facts.from)) + "</b> to <b>" + escapeHtml(readableTime(facts.to)) +
           "</b> (UTC) through the SDK in virtual time, against the local platform.</p><p>" + escapeHtml(facts.legal) +
           "</p></header>";
}

std::string headlineFigures(const RunFigures& figures) {
    // Lost positions come first: it is the one figure that must be zero.
    return "<div class=\"figures\">" +
           figure("positions lost", grouped(figures.positionsLost), figures.positionsLost == 0 ? "good" : "bad") +
           figure("fixes replayed", grouped(figures.fixes)) + figure("uploads", grouped(figures.uploads)) +
           figure("resends", grouped(figures.resends)) + figure("duplicates", grouped(figures.duplicates)) +
           figure("wall time", seconds(figures.wallSeconds)) + "</div>";
}

std::string learnedPlacesSection(const DemoFacts& facts) {
    std::string html = "<section id=\"places\"><h2>Places the SDK learned</h2>";
    if (facts.learnedPlaces.empty()) return html + emptyNote("No place was learned.") + "</section>";
    html += "<table>" + headings({"type", "cell", "latitude, longitude", "stays", "first seen", "last seen"});
    for (const auto& place : facts.learnedPlaces) {
        html += "<tr>" + cell(place.type.empty() ? "other" : place.type) + "<td><code>" + escapeHtml(place.cell) +
                "</code></td>" + cell(fixedDecimals(place.latitude, 5) + ", " + fixedDecimals(place.longitude, 5)) +
                cell(grouped(place.stays), true) + cell(readableTime(place.firstSeen)) +
                cell(readableTime(place.lastSeen)) + "</tr>";
    }
    return html + "</table></section>";
}

// One row a place: a notice comes at each pass, so a month raises hundreds; the rows say where and how often.
std::string noticesSection(const DemoFacts& facts) {
    std::string html = "<section id=\"notices\"><h2>Notices raised on the device</h2>";
    if (facts.notices.empty()) return html + emptyNote("No notice was raised.") + "</section>";
    html += "<p>" + grouped(static_cast<std::int64_t>(facts.notices.size())) +
            " notices, one each time the person came by a place with one.</p><table>" +
            headings({"place", "notice", "raised", "first", "last"});
    const auto row = [&html, &facts](std::string_view name, const std::string& placeId) {
        std::int64_t raised = 0;
        const RaisedNotice* first = nullptr;
        const RaisedNotice* last = nullptr;
        for (const auto& notice : facts.notices) {
            if (notice.placeId != placeId) continue;
            ++raised;
            if (!first) first = &notice;
            last = &notice;
        }
        if (raised == 0) return;
        html += "<tr>" + cell(std::string(name)) + cell(first->title) + cell(grouped(raised), true) +
                cell(readableTime(first->time)) + cell(readableTime(last->time)) + "</tr>";
    };
    std::vector<std::string> named;
    for (const auto& place : facts.noticePlaces) {
        row(place.name, place.id);
        named.push_back(place.id);
    }
    // Notices of no seeded place, grouped by what they named.
    for (const auto& notice : facts.notices) {
        if (std::ranges::find(named, notice.placeId) != named.end()) continue;
        named.push_back(notice.placeId);
        row(notice.placeId.empty() ? "—" : notice.placeId, notice.placeId);
    }
    return html + "</table></section>";
}

std::string platformSection(const PlatformRecords& platform) {
    std::string html = "<section id=\"platform\"><h2>What the platform received</h2><div class=\"columns\"><div><table>" +
                       headings({"positions", ""}) + "<tr>" + cell("stored") + cell(grouped(platform.positions), true) +
                       "</tr><tr>" + cell("distinct") + cell(grouped(platform.distinct), true) + "</tr><tr>" +
                       cell("duplicates") + cell(grouped(platform.duplicates), true) + "</tr></table></div><div><table>" +
                       headings({"requests by path", ""});
    for (const auto& [path, requests] : platform.requests) {
        html += "<tr><td><code>" + escapeHtml(path) + "</code></td>" + cell(grouped(requests), true) + "</tr>";
    }
    html += "</table></div></div><h2 style=\"margin-top:16px\">First descriptors stored</h2>";
    if (platform.sampleDescriptors.empty()) return html + emptyNote("None.") + "</section>";
    html += "<ul class=\"samples\">";
    for (const auto& descriptor : platform.sampleDescriptors) html += "<li><code>" + escapeHtml(descriptor) + "</code></li>";
    return html + "</ul></section>";
}

std::string figuresSection(const RunFigures& figures) {
    const struct {
        std::string_view label;
        std::string value;
    } rows[] = {
        {"fixes fed to the location engine", grouped(figures.fixes)},
        {"positions queued for upload", grouped(figures.positionsQueued)},
        {"uploads acknowledged", grouped(figures.uploads)},
        {"uploads that had to wait", grouped(figures.resends)},
        {"copies stored twice", grouped(figures.duplicates)},
        {"positions lost", grouped(figures.positionsLost)},
        {"notices raised", grouped(figures.notices)},
        {"replay wall time", seconds(figures.replaySeconds)},
        {"whole run wall time", seconds(figures.wallSeconds)},
    };
    std::string html = "<section id=\"figures\"><h2>Figures</h2><table>";
    for (const auto& row : rows) html += "<tr>" + cell(std::string(row.label)) + cell(row.value, true) + "</tr>";
    return html + "</table></section>";
}

}  // namespace

std::string renderReportHtml(const DemoFacts& facts) {
    return "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"><title>Fenk demo: " +
           escapeHtml(facts.trace) + "</title><style>" + std::string(kStyle) + "</style></head>\n<body><main>" +
           pageHeader(facts) + headlineFigures(facts.figures) + "<section><h2>Where the device went</h2>" +
           renderMapSvg(facts) + "</section><section><h2>Day by day</h2>" + renderTimelineSvg(facts) + "</section>" +
           learnedPlacesSection(facts) + noticesSection(facts) + platformSection(facts.platform) +
           figuresSection(facts.figures) + "</main></body></html>\n";
}

}  // namespace fenk
