#pragma once

#include <string>

namespace fenk {

class Device;

// The advertising identifier as far as the user's tracking decision allows: the identifier when tracking is
// authorised (or on systems that ask no consent), "AdId-Restricted" or "AdId-Denied", and the empty text while
// the user has not decided.
std::string advertisingIdWithConsent(const Device& device);

}  // namespace fenk
