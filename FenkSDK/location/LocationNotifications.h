#pragma once

#include <string_view>

namespace fenk {

// What the location layer announces to the manager. The position and entry notifications carry a
// std::shared_ptr<StoredLocation> as their object; the exit one carries {"identifier": std::string,
// "date": Timestamp} as its user information.
inline constexpr std::string_view kPositionReceived = "FENK_POSITION_RECEIVED";
inline constexpr std::string_view kEnterRegion = "FENK_ENTER_REGION";
inline constexpr std::string_view kExitRegion = "FENK_EXIT_REGION";
// For the host: the platform answered the upload of the position this carries (a std::shared_ptr<StoredLocation>).
inline constexpr std::string_view kLocationTrack = "FENK_LOCATION_TRACK";

// Regions around the user's relevant places carry this in their identifier; every other region is a fence
// around the current cell.
inline constexpr std::string_view kPlaceRegionMarker = "FENK_LOCATION";

inline bool isPlaceRegion(std::string_view identifier) {
    return identifier.find(kPlaceRegionMarker) != std::string_view::npos;
}

}  // namespace fenk
