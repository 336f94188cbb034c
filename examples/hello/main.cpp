// The smallest host: start the shared manager, then print the kind of network connection and the
// geohash cell of a coordinate given on the command line.
#include "FenkSDK/FenkManager.h"
#include "FenkSDK/net/FenkReachability.h"
#include "FenkSDK/places/FenkGeohash.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <string_view>

namespace {

std::optional<double> parseDegrees(std::string_view text, double limit) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !(value >= -limit && value <= limit)) {
        return std::nullopt;
    }
    return value;
}

const char* describe(fenk::ConnectionKind kind) {
    switch (kind) {
        case fenk::ConnectionKind::wifi: return "wifi";
        case fenk::ConnectionKind::cellular: return "cellular";
        case fenk::ConnectionKind::unavailable: break;
    }
    return "unavailable";
}

}  // namespace

int main(int argc, char** argv) {
    const auto latitude = argc == 3 ? parseDegrees(argv[1], 90) : std::nullopt;
    const auto longitude = argc == 3 ? parseDegrees(argv[2], 180) : std::nullopt;
    if (!latitude || !longitude) {
        std::fprintf(stderr, "usage: fenk-hello LATITUDE LONGITUDE   (degrees, e.g. 40.4168 -3.7038)\n");
        return 2;
    }

    const auto manager = fenk::FenkManager::sharedManager();
    const auto& monitor = manager->reachability();
    const auto kind = monitor ? monitor->connectionKind() : fenk::ConnectionKind::unavailable;
    std::printf("connection: %s\n", describe(kind));
    std::printf("geohash: %s\n", fenk::FenkGeohash::encode(*latitude, *longitude, fenk::FenkGeohash::Precision::seventySixMeters).c_str());

    fenk::FenkManager::resetSharedManager();
    return 0;
}
