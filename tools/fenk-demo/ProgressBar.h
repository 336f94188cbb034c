#pragma once

#include "tools/fenk-demo/DemoRun.h"

#include <ostream>

namespace fenk {

// "day 12/28 [##########----------] uploaded 2,345 · waiting 0 · stays 14 · places 2": on a terminal one line
// rewritten as each simulated day ends (cleared at the end); elsewhere a line a week and one for the last day.
class ProgressBar {
public:
    ProgressBar(std::ostream& out, bool terminal) : out_(out), terminal_(terminal) {}
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void show(const DayProgress& progress);

private:
    std::ostream& out_;
    const bool terminal_;
    bool shown_ = false;
};

}  // namespace fenk
