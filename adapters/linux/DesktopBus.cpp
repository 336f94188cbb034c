#include "adapters/linux/DesktopBus.h"

#include <cstring>

namespace fenk {

BusPtr connectSessionBus(const std::optional<std::string>& address, int& error) {
    sd_bus* raw = nullptr;
    if (!address) {
        error = sd_bus_open_user(&raw);
        return BusPtr(error < 0 ? nullptr : raw);
    }
    if ((error = sd_bus_new(&raw)) < 0) return nullptr;
    BusPtr bus(raw);
    if ((error = sd_bus_set_address(raw, address->c_str())) < 0 || (error = sd_bus_set_bus_client(raw, 1)) < 0 ||
        (error = sd_bus_start(raw)) < 0) {
        return nullptr;
    }
    return bus;
}

std::string describeBusFailure(int result, const sd_bus_error* error) {
    if (error && sd_bus_error_is_set(error)) {
        return std::string(error->name) + (error->message ? std::string(": ") + error->message : "");
    }
    return std::strerror(-result);
}

}  // namespace fenk
