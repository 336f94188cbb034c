// Feeds arbitrary text to the push intake's reading of a payload, as a host holding payloads as text hands it
// over. Text that is accepted must write back as JSON that reads as the same payload, and decode as push
// content (or fail to) without crashing.

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
    if (!reread || fenk::pushPayloadJson(*reread) != written) {
        std::fprintf(stderr, "a payload read from text did not write back as itself\n");
        std::abort();
    }
    (void)fenk::json::decode<fenk::FenkPushNotification>(*written);
    return 0;
}
