#pragma once

#include "tools/fenk-demo/DemoFacts.h"
#include "tools/fenk-demo/SvgDrawing.h"

#include <string>
#include <vector>

namespace fenk {

// The map's colours; a test finds them again in a browser's rendering.
inline constexpr Rgb kMapTrackColour{25, 113, 194};
inline constexpr Rgb kMapCellColour{208, 235, 255};
inline constexpr Rgb kMapCellFenceColour{134, 142, 150};
inline constexpr Rgb kMapPlaceColour{112, 72, 232};
inline constexpr Rgb kMapNoticeColour{232, 89, 12};

// Consecutive track points farther apart than this are a gap in the trace (the receiver off), not a road.
inline constexpr double kTrackGapMetres = 2000;

struct MapPixel {
    double x;
    double y;
};

// Equirectangular projection scaled by the cosine of the middle latitude, fitted to the bounding box of some
// points inside a canvas, a margin kept free on every side. Non-finite points are left out; a box smaller than
// a few hundred metres (one point, or none) is widened around its centre.
class MapProjection {
public:
    MapProjection(const std::vector<MapPoint>& points, double width, double height, double margin);

    MapPixel operator()(double latitude, double longitude) const;
    double pixelsPerMetre() const { return pixelsPerMetre_; }

private:
    double centreLatitude_ = 0;
    double centreLongitude_ = 0;
    double metresPerDegreeLongitude_ = 0;
    double pixelsPerMetre_ = 1;
    double centreX_ = 0;
    double centreY_ = 0;
};

// <svg id="map">: the cells visited, the fences, the track, the notice places and the learned places, with a
// scale bar and a legend.
std::string renderMapSvg(const DemoFacts& facts);

}  // namespace fenk
