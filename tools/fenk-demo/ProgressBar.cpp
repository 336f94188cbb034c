#include "tools/fenk-demo/ProgressBar.h"

#include "tools/fenk-demo/NumberText.h"

#include <string>

namespace fenk {
namespace {

constexpr std::size_t kBarWidth = 28;

}  // namespace

ProgressBar::~ProgressBar() {
    if (terminal_ && shown_) out_ << "\r\033[K" << std::flush;
}

void ProgressBar::show(const DayProgress& progress) {
    if (!terminal_ && progress.day % 7 != 0 && progress.day != progress.days) return;
    const std::size_t filled = progress.days == 0 ? kBarWidth : kBarWidth * progress.day / progress.days;
    out_ << (terminal_ ? "\r\033[K" : "") << "day " << progress.day << '/' << progress.days << " ["
         << std::string(filled, '#') << std::string(kBarWidth - filled, '-') << "] uploaded "
         << grouped(progress.uploads) << " · waiting " << grouped(progress.waiting) << " · stays " << progress.stays
         << " · places " << progress.places << (terminal_ ? "" : "\n") << std::flush;
    shown_ = true;
}

}  // namespace fenk
