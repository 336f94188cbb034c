#include "adapters/location/TraceReader.h"

#include "support/NmeaFeed.h"
#include "support/TraceFixes.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fenk {
namespace {

using namespace std::chrono;
using namespace std::chrono_literals;

using test::kNaN;
using test::utc;

constexpr year_month_day kMarch1{2024y / 3 / 1};

TEST(TraceReader, ReadsGoodTraces) {
    struct Case {
        const char* name;
        std::string content;
        std::vector<LocationFix> fixes;
    };
    const Case cases[] = {
        {"GPX 1.0 with its own speed and course, then a point with derived ones, a zone offset and a fraction",
         R"(<?xml version="1.0"?>
<gpx version="1.0" creator="test" xmlns="http://www.topografix.com/GPX/1/0">
<trk><trkseg>
<trkpt lat="40.5" lon="-3.5"><ele>700</ele><time>2024-03-01T08:00:00Z</time><course>90</course><speed>3.5</speed><hdop>2</hdop></trkpt>
<trkpt lat='40.5001' lon='-3.5'><time>2024-03-01T10:00:10.25+02:00</time></trkpt>
</trkseg></trk></gpx>)",
         {{{40.5, -3.5}, 700, 10, kNaN, 3.5, 90, utc(kMarch1, 8h)},
          {{40.5001, -3.5}, kNaN, kNaN, kNaN, 1.0848300, 0, utc(kMarch1, 8h + 10250ms)}}},
        {"GPX 1.1 route with prefixes, extension speed, CDATA time, entities; an untimed point is left out",
         R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- recorded on a walk -->
<g:gpx xmlns:g="http://www.topografix.com/GPX/1/1" xmlns:x="urn:x" version="1.1">
<g:metadata><g:name>Caf&#xE9; &amp; back</g:name><g:time>2020-01-01T00:00:00Z</g:time></g:metadata>
<g:rte><g:rtept lat="-33.9" lon="151.2"><g:time><![CDATA[2024-03-01T08:00:00.123456789Z]]></g:time>
<g:extensions><x:Ext><x:speed> 1.5 </x:speed><x:course>270</x:course></x:Ext></g:extensions><g:sym/></g:rtept>
<g:rtept lat="-33.8" lon="151.2"/>
</g:rte></g:gpx>)",
         {{{-33.9, 151.2}, kNaN, kNaN, kNaN, 1.5, 270, utc(kMarch1, 8h + 123456us)}}},
        {"NMEA: RMC and GGA of one instant merge, knots become m/s, unused and fixless sentences are skipped",
         sentence("GPRMC,081530.50,A,4024.0000,N,00342.0000,W,10.0,45.0,010324,,,A") +
             sentence("GPGGA,081530.50,4024.0000,N,00342.0000,W,1,08,1.2,650.5,M,50.0,M,,") +
             sentence("GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00") +
             sentence("GNRMC,081531.50,V,,,,,,,010324,,,N") + sentence("GNGGA,081531.50,,,,,0,00,99.9,,M,,M,,") +
             "\r\n" + sentence("GNRMC,081532.50,A,4024.0060,N,00342.0000,W,,,010324,,,A"),
         {{{40.4, -3.7}, 650.5, 6, kNaN, 10 * 1852.0 / 3600, 45, utc(kMarch1, 8h + 15min + 30500ms)},
          {{40.4001, -3.7}, kNaN, kNaN, kNaN, 5.5597540, 0, utc(kMarch1, 8h + 15min + 32500ms)}}},
        {"NMEA: a GGA past midnight takes the next day; a sentence without checksum is accepted",
         sentence("GPRMC,235959,A,0100.0000,S,00100.0000,E,0,0,290224,,,A") +
             "$GPGGA,000001,0100.0000,S,00100.0000,E,1,08,,12,M,,M,,\n",
         {{{-1, 1}, kNaN, kNaN, kNaN, 0, 0, utc(2024y / 2 / 29, 23h + 59min + 59s)},
          {{-1, 1}, 12, kNaN, kNaN, 0, kNaN, utc(kMarch1, 1s)}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TraceResult result = readTrace(c.content);
        const auto* fixes = std::get_if<std::vector<LocationFix>>(&result);
        ASSERT_NE(fixes, nullptr) << std::get<TraceError>(result).describe();
        test::expectSameFixes(*fixes, c.fixes);
    }
}

TEST(TraceReader, RefusesBadTracesSayingWhere) {
    const std::string gpxPoint = R"(<trkpt lat="1" lon="2"><time>2024-03-01T08:00:00Z</time></trkpt>)";
    const std::string rmc = sentence("GPRMC,081530,A,4024.0000,N,00342.0000,W,1.0,45.0,010324,,,A");
    struct Case {
        std::string content;
        std::string error;
        TraceLimits limits{};
    };
    const Case cases[] = {
        {"", "no timed points"},
        {"<gpx>\n<trk><trkpt lat=\"1\" lon=\"2\"/></trk>\n</gpx>", "no timed points"},
        {"hello\n", "line 1: not a GPX or NMEA trace"},
        {"\n\n{\"lat\": 1}", "line 3: not a GPX or NMEA trace"},
        {"<html>\n</html>", "line 1: not a GPX or NMEA trace"},
        {"<gpx>\n" + gpxPoint + "\n<trkpt lat=\"1\" lon=\"2\"><time>2024-03-01T07:59:59Z</time></trkpt>\n</gpx>",
         "line 3: time goes backwards"},
        {"<gpx>\n<trk>\n<trkpt lat=\"1\" lon=\"2\"><time>2024-03-01T08:00:00Z</time>\n", "line 4: the file ends inside <trkpt>"},
        {"<gpx>\n<trk>\n</trkseg>\n</gpx>", "line 3: </trkseg> closes nothing that is open"},
        {"<gpx>\n<trkpt lat=\"91\" lon=\"2\"><time>2024-03-01T08:00:00Z</time></trkpt></gpx>", "line 2: bad latitude"},
        {"<gpx>\n<trkpt lat=\"1\" lon=\"east\"></trkpt></gpx>", "line 2: bad longitude"},
        {"<gpx><trkpt lat=\"1\" lon=\"2\">\n<time>2024-02-30T08:00:00Z</time></trkpt></gpx>", "line 2: bad time"},
        {"<?xml version=\"1.0\"?>\n<!DOCTYPE gpx [<!ENTITY a \"aaaa\">]>\n<gpx/>",
         "line 2: document type declarations are not supported"},
        {"<gpx><trkpt lat=\"1\" lon=\"2\"><time>&now;</time></trkpt></gpx>", "line 1: bad entity reference"},
        {"<gpx>" + std::string(200, '<') + "</gpx>", "line 1: bad element name"},
        {[] {
             std::string deep = "<gpx>";
             for (int i = 0; i < 100; ++i) deep += "<a>";
             return deep;
         }(),
         "line 1: elements nested deeper than 64"},
        {rmc + "$GPRMC,081531,A,4024.0000,N,00342.0000,W,1.0,45.0,010324,,,A*00\n", "line 2: bad checksum"},
        {sentence("GPRMC,081530,A,9130.0000,N,00342.0000,W,1.0,45.0,010324,,,A"), "line 1: bad latitude"},
        {sentence("GPGGA,081530,4024.0000,N,18100.0000,W,1,08,1.2,650.5,M,50.0,M,,"), "line 1: bad longitude"},
        {rmc + "not a sentence\n", "line 2: not an NMEA sentence"},
        {rmc + sentence("GPRMC,081529,A,4024.0000,N,00342.0000,W,1.0,45.0,010324,,,A"), "line 2: time goes backwards"},
        {sentence("GPRMC,081530"), "line 1: truncated RMC sentence"},
        {sentence("GPRMC,081530,A,4024.0000,N,00342.0000,W,1.0,45.0,310224,,,A"), "line 1: bad date"},
        {"<gpx>\n" + gpxPoint + "\n" + gpxPoint + "\n</gpx>", "line 3: more than 1 points", TraceLimits{1024, 1}},
        {rmc, "the trace is larger than 16 bytes", TraceLimits{16, 10}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        const TraceResult result = readTrace(c.content, c.limits);
        const auto* error = std::get_if<TraceError>(&result);
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(error->describe(), c.error);
    }
}

TEST(TraceReader, ReadsFilesAndRefusesHugeOnesUnread) {
    TemporaryFolder folder;
    std::ofstream(folder.path() / "walk.nmea") << sentence("GPRMC,081530,A,4024.0000,N,00342.0000,W,1.0,45.0,010324,,,A");
    // Sparse: it takes no disk space, and reading it would take far more memory than the test has.
    std::ofstream(folder.path() / "huge.gpx") << "<gpx>";
    std::filesystem::resize_file(folder.path() / "huge.gpx", TraceLimits{}.maxBytes + 1);

    EXPECT_EQ(std::get<std::vector<LocationFix>>(readTraceFile(folder.path() / "walk.nmea")).size(), 1u);
    const auto describe = [&](const char* name) {
        return std::get<TraceError>(readTraceFile(folder.path() / name)).describe();
    };
    EXPECT_EQ(describe("huge.gpx"), "the trace is larger than 536870912 bytes");
    EXPECT_TRUE(describe("absent.gpx").starts_with("cannot read")) << describe("absent.gpx");
}

}  // namespace
}  // namespace fenk
