// Feeds arbitrary text to the push intake's reading of a payload, as a host holding payloads as text hands it
// over. A payload that was accepted must write back as JSON that is read again (numbers may change their
// spelling, -0 may lose its sign) and that decodes as push content, or fails to, without crashing.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FenkSDK/engagement/FenkPushNotification.h"
#include "FenkSDK/engagement/PushPayloadJson.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto payload = fenk::pushPayloadFromJson(text, error);
    if (!payload) return 0;
    // Numbers may be spelt longer than they came, so a payload near the size limit may no longer fit.
    const auto written = fenk::pushPayloadJson(*payload);
    if (!written) return 0;
    const auto reread = fenk::pushPayloadFromJson(*written, error);
    if (!reread || !fenk::pushPayloadJson(*reread)) {
        std::fprintf(stderr, "a payload written as JSON could not be read again: %s\n", error.c_str());
        std::abort();
    }
    (void)fenk::json::decode<fenk::FenkPushNotification>(*written);
    return 0;
}
