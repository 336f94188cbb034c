#pragma once

#include <systemd/sd-bus.h>
#include <systemd/sd-event.h>

#include <memory>
#include <optional>
#include <string>

namespace fenk {

// Owners of sd-bus and sd-event objects: each releases its reference when it goes.
struct BusRelease {
    void operator()(sd_bus* bus) const { sd_bus_close_unref(bus); }
    void operator()(sd_bus_slot* slot) const { sd_bus_slot_unref(slot); }
    void operator()(sd_bus_message* message) const { sd_bus_message_unref(message); }
    void operator()(sd_event* event) const { sd_event_unref(event); }
    void operator()(sd_event_source* source) const { sd_event_source_unref(source); }
};
using BusPtr = std::unique_ptr<sd_bus, BusRelease>;
using BusSlotPtr = std::unique_ptr<sd_bus_slot, BusRelease>;
using BusMessagePtr = std::unique_ptr<sd_bus_message, BusRelease>;
using EventLoopPtr = std::unique_ptr<sd_event, BusRelease>;
using EventSourcePtr = std::unique_ptr<sd_event_source, BusRelease>;

// The error a failed call fills in, freed when it goes.
struct BusError {
    BusError() = default;
    ~BusError() { sd_bus_error_free(&error); }
    BusError(const BusError&) = delete;
    BusError& operator=(const BusError&) = delete;

    sd_bus_error error{};
};

// A connection to the user's session bus: at `address` when given, else where the environment says
// (DBUS_SESSION_BUS_ADDRESS, or the user's runtime folder). Null, with `error` set to a negative errno, when
// it cannot be made. The connection completes its handshake while it is used.
BusPtr connectSessionBus(const std::optional<std::string>& address, int& error);

// "name: message" of the error a call answered, or else the text of the negative errno it returned.
std::string describeBusFailure(int result, const sd_bus_error* error = nullptr);

}  // namespace fenk
