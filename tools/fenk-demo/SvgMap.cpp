#include "tools/fenk-demo/SvgMap.h"

#include "FenkSDK/places/FenkGeohash.h"
#include "FenkSDK/places/GreatCircle.h"
#include "tools/fenk-platform/PlatformPages.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace fenk {
namespace {

constexpr double kMetresPerDegree = kEarthRadiusMeters * std::numbers::pi / 180;
constexpr double kSmallestSpanMetres = 400;
constexpr double kDrawingHeight = 600;
constexpr double kMargin = 36;
constexpr double kFooterHeight = 30;  // below the drawing: scale bar and legend

bool finite(double latitude, double longitude) { return std::isfinite(latitude) && std::isfinite(longitude); }

double metresPerDegreeLongitude(double latitude) {
    return kMetresPerDegree * std::max(std::cos(latitude * std::numbers::pi / 180), 0.01);
}

// The points of a circle's bounding box, so that a fence is on the map whole.
void addCircle(std::vector<MapPoint>& points, double latitude, double longitude, double radius) {
    if (!finite(latitude, longitude)) return;
    const double safeRadius = std::isfinite(radius) ? std::clamp(radius, 0.0, 1e6) : 0.0;
    const double dLatitude = safeRadius / kMetresPerDegree;
    const double dLongitude = safeRadius / metresPerDegreeLongitude(latitude);
    points.push_back({latitude - dLatitude, longitude - dLongitude});
    points.push_back({latitude + dLatitude, longitude + dLongitude});
}

std::vector<MapPoint> extentPoints(const DemoFacts& facts) {
    std::vector<MapPoint> points = facts.track;
    for (const auto& cell : facts.cells) {
        if (const auto box = FenkGeohash::decode(cell)) {
            points.push_back({box->latitude.min, box->longitude.min});
            points.push_back({box->latitude.max, box->longitude.max});
        }
    }
    for (const auto& fence : facts.fences) addCircle(points, fence.latitude, fence.longitude, fence.radius);
    for (const auto& place : facts.noticePlaces) addCircle(points, place.latitude, place.longitude, place.radius);
    for (const auto& place : facts.learnedPlaces) points.push_back({place.latitude, place.longitude});
    return points;
}

std::string cellsLayer(const DemoFacts& facts, const MapProjection& project) {
    std::string svg = "<g class=\"cells\" fill=\"" + cssColour(kMapCellColour) + "\">";
    for (const auto& cell : facts.cells) {
        const auto box = FenkGeohash::decode(cell);
        if (!box || cell.size() != 7) continue;
        const MapPixel low = project(box->latitude.min, box->longitude.min);
        const MapPixel high = project(box->latitude.max, box->longitude.max);
        svg += "<rect" + svgAttribute("x", low.x) + svgAttribute("y", high.y) + svgAttribute("width", high.x - low.x) +
               svgAttribute("height", low.y - high.y) + "/>";
    }
    return svg + "</g>";
}

std::string circle(const MapProjection& project, double latitude, double longitude, double radius) {
    const MapPixel centre = project(latitude, longitude);
    const double pixels = std::isfinite(radius) ? std::max(radius * project.pixelsPerMetre(), 1.5) : 1.5;
    return "<circle" + svgAttribute("cx", centre.x) + svgAttribute("cy", centre.y) + svgAttribute("r", pixels) + "/>";
}

std::string fencesLayer(const DemoFacts& facts, const MapProjection& project) {
    // Cell fences are many: faint, under the few around learned places.
    std::string faint = "<g class=\"cell-fences\" fill=\"none\" stroke=\"" + cssColour(kMapCellFenceColour) +
                        "\" stroke-opacity=\"0.35\" stroke-width=\"0.8\">";
    std::string strong = "<g class=\"place-fences\" fill=\"" + cssColour(kMapPlaceColour) + "\" fill-opacity=\"0.08\" stroke=\"" +
                         cssColour(kMapPlaceColour) + "\" stroke-width=\"1.6\">";
    for (const auto& fence : facts.fences) {
        if (!finite(fence.latitude, fence.longitude)) continue;
        (fence.aroundPlace ? strong : faint) += circle(project, fence.latitude, fence.longitude, fence.radius);
    }
    return faint + "</g>" + strong + "</g>";
}

std::string trackLayer(const DemoFacts& facts, const MapProjection& project) {
    std::string svg = "<g class=\"track\" fill=\"none\" stroke=\"" + cssColour(kMapTrackColour) +
                      "\" stroke-width=\"2.5\" stroke-linejoin=\"round\" stroke-linecap=\"round\">";
    std::string stretch;
    std::size_t stretchPoints = 0;
    const auto close = [&] {
        if (stretchPoints > 1) svg += "<polyline points=\"" + stretch + "\"/>";
        stretch.clear();
        stretchPoints = 0;
    };
    const MapPoint* previous = nullptr;
    MapPixel kept{};
    for (const auto& point : facts.track) {
        if (!finite(point.latitude, point.longitude)) continue;
        const double stepMetres =
            previous ? std::hypot((point.latitude - previous->latitude) * kMetresPerDegree,
                                  (point.longitude - previous->longitude) * metresPerDegreeLongitude(point.latitude))
                     : 0;
        if (stepMetres > kTrackGapMetres) close();
        previous = &point;
        const MapPixel pixel = project(point.latitude, point.longitude);
        // Points within a pixel of the last one kept add bytes and nothing a reader could see.
        if (stretchPoints > 0 && std::hypot(pixel.x - kept.x, pixel.y - kept.y) < 1) continue;
        if (stretchPoints > 0) stretch += ' ';
        stretch += svgNumber(pixel.x) + "," + svgNumber(pixel.y);
        kept = pixel;
        ++stretchPoints;
    }
    close();
    return svg + "</g>";
}

std::string label(MapPixel at, const std::string& text) {
    return "<text" + svgAttribute("x", at.x + 9) + svgAttribute("y", at.y + 4) +
           " stroke=\"#fff\" stroke-width=\"3\" paint-order=\"stroke\">" + escapeHtml(text) + "</text>";
}

std::string noticePlacesLayer(const DemoFacts& facts, const MapProjection& project) {
    std::string svg = "<g class=\"notice-places\" font-size=\"12\" fill=\"" + cssColour(kMapNoticeColour) + "\">";
    for (const auto& place : facts.noticePlaces) {
        if (!finite(place.latitude, place.longitude)) continue;
        const MapPixel at = project(place.latitude, place.longitude);
        svg += svgDiamond(at.x, at.y, 7, "stroke=\"#fff\" stroke-width=\"1.5\"") + label(at, place.name);
    }
    return svg + "</g>";
}

std::string learnedPlacesLayer(const DemoFacts& facts, const MapProjection& project) {
    std::string svg = "<g class=\"learned-places\" font-size=\"12\" font-weight=\"600\" fill=\"" +
                      cssColour(kMapPlaceColour) + "\">";
    for (const auto& place : facts.learnedPlaces) {
        if (!finite(place.latitude, place.longitude)) continue;
        const MapPixel at = project(place.latitude, place.longitude);
        svg += "<circle" + svgAttribute("cx", at.x) + svgAttribute("cy", at.y) +
               " r=\"6\" stroke=\"#fff\" stroke-width=\"2\"/>" + label(at, place.type.empty() ? "other" : place.type);
    }
    return svg + "</g>";
}

// The longest round distance that fits in about 160 px.
std::string scaleBar(const MapProjection& project, double x, double y) {
    constexpr std::array lengths{10.0, 20.0, 50.0, 100.0, 200.0, 500.0, 1e3, 2e3, 5e3, 1e4, 2e4, 5e4, 1e5, 2e5, 5e5};
    double metres = lengths.front();
    for (const double length : lengths) {
        if (length * project.pixelsPerMetre() <= 160) metres = length;
    }
    const double pixels = metres * project.pixelsPerMetre();
    const std::string text = metres >= 1000 ? svgNumber(metres / 1000) + " km" : svgNumber(metres) + " m";
    return "<g class=\"scale\" font-size=\"11\" fill=\"#495057\"><path d=\"M" + svgNumber(x - pixels) + " " +
           svgNumber(y - 6) + "v6h" + svgNumber(pixels) + "v-6\" fill=\"none\" stroke=\"#495057\" stroke-width=\"1.5\"/>"
           "<text" + svgAttribute("x", x - pixels - 8) + svgAttribute("y", y) + " text-anchor=\"end\">" + text + "</text></g>";
}

}  // namespace

MapProjection::MapProjection(const std::vector<MapPoint>& points, double width, double height, double margin) {
    double south = 90, north = -90, west = 180, east = -180;
    bool any = false;
    for (const auto& point : points) {
        if (!finite(point.latitude, point.longitude)) continue;
        south = std::min(south, point.latitude);
        north = std::max(north, point.latitude);
        west = std::min(west, point.longitude);
        east = std::max(east, point.longitude);
        any = true;
    }
    if (!any) south = north = west = east = 0;
    centreLatitude_ = (south + north) / 2;
    centreLongitude_ = (west + east) / 2;
    metresPerDegreeLongitude_ = metresPerDegreeLongitude(centreLatitude_);
    const double spanX = std::max((east - west) * metresPerDegreeLongitude_, kSmallestSpanMetres);
    const double spanY = std::max((north - south) * kMetresPerDegree, kSmallestSpanMetres);
    const double usableWidth = std::max(width - 2 * margin, 1.0);
    const double usableHeight = std::max(height - 2 * margin, 1.0);
    pixelsPerMetre_ = std::min(usableWidth / spanX, usableHeight / spanY);
    centreX_ = width / 2;
    centreY_ = height / 2;
}

MapPixel MapProjection::operator()(double latitude, double longitude) const {
    return {centreX_ + (longitude - centreLongitude_) * metresPerDegreeLongitude_ * pixelsPerMetre_,
            centreY_ - (latitude - centreLatitude_) * kMetresPerDegree * pixelsPerMetre_};
}

std::string renderMapSvg(const DemoFacts& facts) {
    const MapProjection project(extentPoints(facts), kDrawingWidth, kDrawingHeight, kMargin);
    const double footer = kDrawingHeight + kFooterHeight - 10;
    return "<svg id=\"map\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " + svgNumber(kDrawingWidth) + " " +
           svgNumber(kDrawingHeight + kFooterHeight) +
           "\" role=\"img\" aria-label=\"Map of the track, cells, fences and places\">"
           "<rect width=\"100%\" height=\"" + svgNumber(kDrawingHeight) + "\" fill=\"#fbfcfd\"/>" +
           cellsLayer(facts, project) + fencesLayer(facts, project) + trackLayer(facts, project) +
           noticePlacesLayer(facts, project) + learnedPlacesLayer(facts, project) + scaleBar(project, kDrawingWidth - 12, footer) +
           svgLegend(12, footer,
                     {{Swatch::line, cssColour(kMapTrackColour), "track"},
                      {Swatch::box, cssColour(kMapCellColour), "cell visited"},
                      {Swatch::ring, cssColour(kMapCellFenceColour), "cell fence"},
                      {Swatch::ring, cssColour(kMapPlaceColour), "place fence"},
                      {Swatch::dot, cssColour(kMapPlaceColour), "learned place"},
                      {Swatch::diamond, cssColour(kMapNoticeColour), "notice place"}}) +
           "</svg>";
}

}  // namespace fenk
