// Feeds arbitrary text to every reply and record decoder. The first byte picks the type (modulo the number
// of types), the rest is the JSON. Whatever decodes must encode, and the encoding must read back to the
// same encoding: a record the SDK stores in the settings and reads again would otherwise change or vanish.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FenkSDK/api/Authenticate.h"
#include "FenkSDK/api/FG_Account.h"
#include "FenkSDK/api/FG_Authenticate.h"
#include "FenkSDK/api/FG_AuthenticateBean.h"
#include "FenkSDK/api/FG_Count.h"
#include "FenkSDK/api/FG_DTSPlace.h"
#include "FenkSDK/api/FG_Device.h"
#include "FenkSDK/api/FG_Event.h"
#include "FenkSDK/api/FG_Extra.h"
#include "FenkSDK/api/FG_GeoHashCell.h"
#include "FenkSDK/api/FG_GroupData.h"
#include "FenkSDK/api/FG_Layer.h"
#include "FenkSDK/api/FG_Location.h"
#include "FenkSDK/api/FG_MobileData.h"
#include "FenkSDK/api/FG_Node.h"
#include "FenkSDK/api/FG_Paging.h"
#include "FenkSDK/api/FG_Place.h"
#include "FenkSDK/api/FG_Resource.h"
#include "FenkSDK/api/FG_ResourceId.h"
#include "FenkSDK/api/FG_TrackingInfo.h"
#include "FenkSDK/api/FG_UserHabit.h"
#include "FenkSDK/api/FG_UserProfile.h"
#include "FenkSDK/api/ParametersOut.h"
#include "FenkSDK/json/RecordCodec.h"

namespace fenk {
namespace {

[[noreturn]] void unstable(const char* what, std::string_view json) {
    std::fprintf(stderr, "%s: %.*s\n", what, static_cast<int>(json.size()), json.data());
    std::abort();
}

template <class T>
void checkRoundTrip(std::string_view json) {
    const std::optional<T> decoded = json::decode<T>(json);
    if (!decoded) return;
    // Decoded text is valid UTF-8 and no record holds a floating-point number, so nothing can refuse encoding.
    const std::optional<std::string> encoded = json::encode(*decoded);
    if (!encoded) unstable("a decoded value did not encode", json);
    const std::optional<T> reread = json::decode<T>(*encoded);
    if (!reread) unstable("an encoding did not decode", *encoded);
    if (json::encode(*reread) != encoded) unstable("an encoding changed on a second round", *encoded);
}

using Check = void (*)(std::string_view);

// The replies of the services the SDK calls, the authentication reply, then every record on its own.
constexpr std::array checks{
    &checkRoundTrip<ParametersOut<FG_Account>>,
    &checkRoundTrip<ParametersOut<std::vector<FG_Extra>>>,
    &checkRoundTrip<ParametersOutWithTicket<FG_MobileData>>,
    &checkRoundTrip<ParametersOut<std::vector<FG_ResourceId>>>,
    &checkRoundTrip<ParametersOut<FG_UserProfile>>,
    &checkRoundTrip<ParametersOut<std::vector<FG_DTSPlace>>>,
    &checkRoundTrip<ParametersOut<FG_TrackingInfo>>,
    &checkRoundTrip<ParametersOut<std::vector<FG_GroupData>>>,
    &checkRoundTrip<FG_AuthenticateBean>,
    &checkRoundTrip<Authenticate>,
    &checkRoundTrip<FG_Authenticate>,
    &checkRoundTrip<FG_Account>,
    &checkRoundTrip<FG_Device>,
    &checkRoundTrip<FG_Location>,
    &checkRoundTrip<FG_Place>,
    &checkRoundTrip<FG_Layer>,
    &checkRoundTrip<FG_Node>,
    &checkRoundTrip<FG_ResourceId>,
    &checkRoundTrip<FG_Resource>,
    &checkRoundTrip<FG_Extra>,
    &checkRoundTrip<FG_Event>,
    &checkRoundTrip<FG_Paging>,
    &checkRoundTrip<FG_Count>,
    &checkRoundTrip<FG_MobileData>,
    &checkRoundTrip<FG_UserProfile>,
    &checkRoundTrip<FG_UserHabit>,
    &checkRoundTrip<FG_GroupData>,
    &checkRoundTrip<FG_TrackingInfo>,
    &checkRoundTrip<FG_GeoHashCell>,
    &checkRoundTrip<FG_DTSPlace>,
};

}  // namespace
}  // namespace fenk

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const fenk::Check check = fenk::checks[data[0] % fenk::checks.size()];
    check(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    return 0;
}
