#pragma once

#include "tools/fenk-demo/DemoFacts.h"

#include <string>

namespace fenk {

// The demo's report as one self-contained page: inline style and drawings, nothing fetched, every text escaped.
std::string renderReportHtml(const DemoFacts& facts);

}  // namespace fenk
