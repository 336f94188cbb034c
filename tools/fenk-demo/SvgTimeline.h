#pragma once

#include "tools/fenk-demo/DemoFacts.h"
#include "tools/fenk-demo/SvgDrawing.h"

#include <string>

namespace fenk {

// The timeline's colours; a test finds them again in a browser's rendering.
inline constexpr Rgb kTimelineStayColour{47, 158, 68};
inline constexpr Rgb kTimelineMovingColour{25, 113, 194};
inline constexpr Rgb kTimelineOfflineColour{73, 80, 87};
inline constexpr Rgb kTimelineFaultsColour{224, 49, 49};
inline constexpr Rgb kTimelineUploadsColour{116, 143, 252};
inline constexpr Rgb kTimelineQueueColour{250, 176, 5};

// <svg id="timeline">: a row a day with its 24 hours coloured by what the device did, offline and fault
// stretches hatched over them, and on the right the day's uploads, deepest queue and notices.
std::string renderTimelineSvg(const DemoFacts& facts);

}  // namespace fenk
