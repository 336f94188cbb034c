#pragma once

#include <optional>
#include <string>

namespace fenk {

class Preferences;

// The link a presenter's redirect button opens: the payload's target followed by the tracking parameters
// "isAdvertising=true", "resourceId" (the stored resource id) and "adId" (the advertising id the host stored),
// each stored value percent-encoded and empty when absent. The parameters join the target's own query when it
// has one and go before its "#fragment". Without a target the result is the parameters alone, starting with
// "?isAdvertising=true&resourceId=", which is no link a button can open.
std::string redirectLink(const std::optional<std::string>& target, const Preferences& preferences);

}  // namespace fenk
