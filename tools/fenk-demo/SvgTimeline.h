#pragma once

#include "tools/fenk-demo/DemoFacts.h"
#include "tools/fenk-demo/SvgDrawing.h"

#include <string>

namespace fenk {

// The timeline's colours; a test finds them again in a browser's rendering.
inline constexpr Colour kTimelineStayColour{47, 158, 68};
inline constexpr Colour kTimelineMovingColour{25, 113, 194};
inline constexpr Colour kTimelineOfflineColour{73, 80, 87};
inline constexpr Colour kTimelineFaultsColour{224, 49, 49};
inline constexpr Colour kTimelineUploadsColour{116, 143, 252};
inline constexpr Colour kTimelineQueueColour{250, 176, 5};

// <svg id="timeline">: a row a day with its 24 hours coloured by what the device did, offline and fault
// stretches hatched over them, and on the right the day's uploads, deepest queue and notices.
std::string renderTimelineSvg(const DemoFacts& facts);

}  // namespace fenk
