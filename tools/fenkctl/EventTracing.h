#pragma once

#include "FenkSDK/runtime/Console.h"
#include "FenkSDK/runtime/NotificationCenter.h"
#include "tools/fenkctl/EventPrinter.h"


namespace fenk {

// With JSON output, sends the console's lines and every notification to the printer while it lives.
class EventTracing {
public:
    EventTracing(bool enabled, NotificationCenter& center, EventPrinter& printer) : center_(center) {
        if (!enabled) return;
        Console::setSink([&printer](std::string_view line) { printer.consoleLine(line); });
        tracer_ = center.addObserver("", nullptr,
                                     [&printer](const Notification& notification) { printer.notification(notification); });
    }
    ~EventTracing() {
        if (tracer_ == kNone) return;
        center_.removeObserver(tracer_);
        Console::setSink({});
    }
    EventTracing(const EventTracing&) = delete;
    EventTracing& operator=(const EventTracing&) = delete;

private:
    NotificationCenter& center_;
    static constexpr NotificationCenter::ObserverId kNone = 0;  // the centre numbers observers from 1
    NotificationCenter::ObserverId tracer_ = kNone;
};

}  // namespace fenk
