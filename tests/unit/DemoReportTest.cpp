#include "support/SampleDemoFacts.h"
#include "tools/fenk-demo/ReportHtml.h"
#include "tools/fenk-demo/SvgMap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <regex>
#include <string>
#include <vector>

namespace fenk {
namespace {

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t found = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++found;
    return found;
}

// The points the map draws: polyline vertices and circle centres, in drawing units.
std::vector<MapPixel> drawnPoints(const std::string& svg) {
    std::vector<MapPixel> points;
    const std::regex polyline(R"re(points="([^"]*)")re");
    const std::regex pair(R"re((-?[0-9.na]+),(-?[0-9.na]+))re");
    for (std::sregex_iterator line(svg.begin(), svg.end(), polyline), end; line != end; ++line) {
        const std::string list = (*line)[1];
        for (std::sregex_iterator each(list.begin(), list.end(), pair); each != end; ++each) {
            points.push_back({std::stod((*each)[1]), std::stod((*each)[2])});
        }
    }
    const std::regex centre(R"re(cx="([^"]*)" cy="([^"]*)")re");
    for (std::sregex_iterator each(svg.begin(), svg.end(), centre), end; each != end; ++each) {
        points.push_back({std::stod((*each)[1]), std::stod((*each)[2])});
    }
    return points;
}

// Text with markup goes into the page escaped wherever the page shows it.
TEST(DemoReportTest, TextWithMarkupIsEscapedEverywhere) {
    const std::string script = "<script>alert(1)</script>";
    const std::string quoted = "Say \"cheese\" & 'smile'";
    const struct {
        const char* field;
        std::function<void(DemoFacts&, const std::string&)> set;
        std::size_t shown;  // places the text appears in the page
    } cases[] = {
        {"notice place name", [](DemoFacts& facts, const std::string& text) { facts.noticePlaces[0].name = text; }, 2},
        {"notice title", [](DemoFacts& facts, const std::string& text) { facts.notices[0].title = text; }, 1},
        {"trace", [](DemoFacts& facts, const std::string& text) { facts.trace = text; }, 2},
        {"legal sentence", [](DemoFacts& facts, const std::string& text) { facts.legal = text; }, 1},
        {"place type", [](DemoFacts& facts, const std::string& text) { facts.learnedPlaces[0].type = text; }, 2},
        {"request path", [](DemoFacts& facts, const std::string& text) { facts.platform.requests = {{text, 1}}; }, 1},
        {"descriptor", [](DemoFacts& facts, const std::string& text) { facts.platform.sampleDescriptors = {text}; }, 1},
        {"day's date", [](DemoFacts& facts, const std::string& text) { facts.days[0].date = text; }, 1},
    };
    for (const auto& hostile : cases) {
        for (const auto& [text, escaped] : {std::pair{script, std::string("&lt;script&gt;alert(1)&lt;/script&gt;")},
                                            std::pair{quoted, std::string("Say &quot;cheese&quot; &amp; &#39;smile&#39;")}}) {
            SCOPED_TRACE(std::string(hostile.field) + ": " + text);
            DemoFacts facts = sampleDemoFacts();
            hostile.set(facts, text);
            const std::string page = renderReportHtml(facts);
            EXPECT_EQ(occurrences(page, text), 0u);
            EXPECT_EQ(occurrences(page, escaped), hostile.shown);
        }
    }
}

// The page opens without a network: nothing it holds points outside itself.
TEST(DemoReportTest, PageReferencesNothingOutsideItself) {
    DemoFacts facts = sampleDemoFacts();
    facts.platform.sampleDescriptors = {"https://example.invalid/picture.png"};
    const std::string page = renderReportHtml(facts);
    EXPECT_EQ(occurrences(page, "<link"), 0u);
    EXPECT_EQ(occurrences(page, "<script"), 0u);
    EXPECT_EQ(occurrences(page, "@import"), 0u);
    EXPECT_FALSE(std::regex_search(page, std::regex(R"re((src|href)\s*=\s*["']?[^"'#])re", std::regex::icase)));
    EXPECT_FALSE(std::regex_search(page, std::regex(R"re(url\(\s*["']?[^"'#\s])re", std::regex::icase)));
}

// Facts with little or broken in them still give a page with both drawings, all of it on the canvas.
TEST(DemoReportTest, SparseOrBrokenFactsStillDrawOnTheCanvas) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double infinity = std::numeric_limits<double>::infinity();
    const struct {
        const char* name;
        std::function<void(DemoFacts&)> make;
    } cases[] = {
        {"nothing", [](DemoFacts&) {}},
        {"one point", [](DemoFacts& facts) { facts.track = {{52.37, 4.89}}; }},
        {"one spot twice", [](DemoFacts& facts) { facts.track = {{52.37, 4.89}, {52.37, 4.89}}; }},
        {"broken numbers",
         [&](DemoFacts& facts) {
             facts = sampleDemoFacts();
             facts.track.push_back({nan, 4.9});
             facts.track.push_back({52.4, infinity});
             facts.fences.push_back({"bad", nan, nan, nan, true});
             facts.fences.push_back({"huge", 52.38, 4.9, infinity, false});
             facts.learnedPlaces.push_back({"!!", "", nan, 4.9, 0, "", ""});
             facts.cells.push_back("not a cell");
             facts.days[0].spans.push_back({"stay", -50, 99999});
             facts.days[1].maxQueue = std::numeric_limits<std::int64_t>::min();
             facts.figures.positionsLost = std::numeric_limits<std::int64_t>::min();
         }},
    };
    for (const auto& sample : cases) {
        SCOPED_TRACE(sample.name);
        DemoFacts facts;
        sample.make(facts);
        const std::string page = renderReportHtml(facts);
        EXPECT_EQ(occurrences(page, "<svg id=\"map\""), 1u);
        EXPECT_EQ(occurrences(page, "<svg id=\"timeline\""), 1u);
        EXPECT_FALSE(std::regex_search(page, std::regex(R"re(="[^"]*(nan|inf))re"))) << "a broken number was drawn";
        const std::string map = renderMapSvg(facts);
        std::smatch size;
        ASSERT_TRUE(std::regex_search(map, size, std::regex(R"re(viewBox="0 0 ([0-9.]+) ([0-9.]+)")re")));
        for (const auto& point : drawnPoints(map)) {
            EXPECT_TRUE(point.x >= 0 && point.x <= std::stod(size[1]) && point.y >= 0 && point.y <= std::stod(size[2]))
                << point.x << "," << point.y;
        }
    }
}

// The bounding box's corners land inside the canvas, whatever the box's shape.
TEST(DemoReportTest, ProjectionFitsTheBoxInsideTheMargin) {
    const std::vector<std::vector<MapPoint>> boxes = {
        {{52.30, 4.80}, {52.45, 5.05}},    // wider than tall
        {{40.00, -3.70}, {40.60, -3.69}},  // a north-south line
        {{-33.90, 151.20}, {-33.89, 151.21}},
        {{69.60, 18.90}, {69.70, 19.10}},  // far north, where a degree of longitude is short
    };
    constexpr double width = 1000, height = 600, margin = 36, tolerance = 0.01;
    for (const auto& box : boxes) {
        const MapProjection project(box, width, height, margin);
        for (const double latitude : {box[0].latitude, box[1].latitude}) {
            for (const double longitude : {box[0].longitude, box[1].longitude}) {
                const MapPixel pixel = project(latitude, longitude);
                SCOPED_TRACE(std::to_string(latitude) + "," + std::to_string(longitude));
                EXPECT_GE(pixel.x, margin - tolerance);
                EXPECT_LE(pixel.x, width - margin + tolerance);
                EXPECT_GE(pixel.y, margin - tolerance);
                EXPECT_LE(pixel.y, height - margin + tolerance);
            }
        }
        // North is up and east is right.
        EXPECT_LT(project(box[1].latitude, box[0].longitude).y, project(box[0].latitude, box[0].longitude).y);
        EXPECT_GT(project(box[0].latitude, box[1].longitude).x, project(box[0].latitude, box[0].longitude).x);
    }
}

// A gap in the trace is not drawn as a straight line across the map.
TEST(DemoReportTest, TrackBreaksAtGapsInTheTrace) {
    const struct {
        const char* name;
        std::vector<MapPoint> track;
        std::size_t stretches;
    } cases[] = {
        {"continuous", {{52.370, 4.890}, {52.371, 4.891}, {52.372, 4.892}}, 1},
        {"a jump of 10 km", {{52.370, 4.890}, {52.371, 4.891}, {52.460, 4.891}, {52.461, 4.892}}, 2},
        {"one point", {{52.370, 4.890}}, 0},
    };
    for (const auto& sample : cases) {
        SCOPED_TRACE(sample.name);
        DemoFacts facts;
        facts.track = sample.track;
        EXPECT_EQ(occurrences(renderMapSvg(facts), "<polyline"), sample.stretches);
    }
}

}  // namespace
}  // namespace fenk
