#include "gtk/GtkTestSupport.h"
#include "integration/ShellOutcome.h"
#include "support/SampleDemoFacts.h"
#include "support/TemporaryFolder.h"
#include "tools/fenk-demo/ReportHtml.h"
#include "tools/fenk-demo/SvgMap.h"
#include "tools/fenk-demo/SvgTimeline.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>

namespace fenk {
namespace {

struct Box {
    double x = 0, y = 0, width = 0, height = 0;
};

// The boxes the program printed, by name ("map", "timeline").
std::map<std::string, Box> printedBoxes(const std::string& output) {
    std::map<std::string, Box> boxes;
    std::istringstream lines(output);
    std::string name;
    for (Box box; lines >> name >> box.x >> box.y >> box.width >> box.height;) boxes[name] = box;
    return boxes;
}

// A PNG's pixels, to count colours in.
class Picture {
public:
    explicit Picture(const std::filesystem::path& file) {
        const auto texture = adopt(gdk_texture_new_from_filename(file.c_str(), nullptr));
        if (!texture) return;
        width_ = gdk_texture_get_width(texture.get());
        height_ = gdk_texture_get_height(texture.get());
        pixels_.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 4);
        gdk_texture_download(texture.get(), pixels_.data(), static_cast<gsize>(width_) * 4);
    }

    bool empty() const { return pixels_.empty(); }

    // The pixels inside `box` that have `colour`, within what antialiasing changes.
    int count(const Box& box, Rgb colour) const {
        int found = 0;
        for (int y = std::max(0, static_cast<int>(box.y)); y < std::min(height_, static_cast<int>(box.y + box.height)); ++y) {
            for (int x = std::max(0, static_cast<int>(box.x)); x < std::min(width_, static_cast<int>(box.x + box.width)); ++x) {
                // Downloads are B, G, R, A in memory on this little-endian machine.
                const std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)) * 4;
                if (gtktest::near({pixels_[at + 2], pixels_[at + 1], pixels_[at]}, {colour.red, colour.green, colour.blue}, 12)) ++found;
            }
        }
        return found;
    }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> pixels_;
};

// Runs the program and collects what it writes to the stream `collect` names; WebKit's own warnings share
// standard error.
Outcome snapshot(const std::filesystem::path& page, const std::filesystem::path& png, const char* collect = "") {
    return runShell(std::string("'") + REPORT_SNAPSHOT_PROGRAM + "' '" + page.string() + "' '" + png.string() + "' " +
                    collect);
}

// A browser engine draws the report's map and timeline: the track's colour fills part of the map, the stays' and
// the moves' colours part of the timeline.
TEST(ReportSnapshotTest, BrowserDrawsTheMapAndTheTimeline) {
    FENK_SKIP_WITHOUT_GTK();
    const TemporaryFolder folder;
    const auto page = folder.path() / "report.html";
    const auto png = folder.path() / "report.png";
    std::ofstream(page) << renderReportHtml(sampleDemoFacts());

    const Outcome drawn = snapshot(page, png);
    ASSERT_EQ(drawn.exitCode, 0) << drawn.output;
    const auto boxes = printedBoxes(drawn.output);
    ASSERT_TRUE(boxes.contains("map") && boxes.contains("timeline")) << drawn.output;
    const Picture picture(png);
    ASSERT_FALSE(picture.empty());
    const struct {
        const char* what;
        Box box;
        Rgb colour;
        int least;
    } expected[] = {
        {"track on the map", boxes.at("map"), kMapTrackColour, 800},
        {"stays on the timeline", boxes.at("timeline"), kTimelineStayColour, 10000},
        {"moves on the timeline", boxes.at("timeline"), kTimelineMovingColour, 1500},
    };
    for (const auto& drawing : expected) {
        EXPECT_GE(picture.count(drawing.box, drawing.colour), drawing.least) << drawing.what;
    }
}

// The program ends with a line that says why, and no picture, when it cannot draw the page.
TEST(ReportSnapshotTest, FailureSaysWhyAndLeavesNoPicture) {
    FENK_SKIP_WITHOUT_GTK();
    const TemporaryFolder folder;
    const auto withoutDrawings = folder.path() / "plain.html";
    std::ofstream(withoutDrawings) << "<!DOCTYPE html><p>No drawings here.</p>";
    for (const auto& page : {folder.path() / "missing.html", withoutDrawings}) {
        SCOPED_TRACE(page.filename().string());
        const Outcome outcome = snapshot(page, folder.path() / "out.png", "2>&1 >/dev/null");
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_TRUE(std::regex_search(outcome.output, std::regex("(^|\n)fenk-report-snapshot: [^\n]+\n$")))
            << outcome.output;
        EXPECT_FALSE(std::filesystem::exists(folder.path() / "out.png"));
    }
}

}  // namespace
}  // namespace fenk
