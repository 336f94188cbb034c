#include "FenkSDK/engagement/ExtraDataText.h"

#include <string_view>

namespace fenk {

RequestParameters extraDataFields(const std::optional<std::string>& text) {
    RequestParameters fields;
    if (!text) return fields;
    std::string_view rest = *text;
    while (true) {
        const std::size_t comma = rest.find(',');
        const std::string_view pair = rest.substr(0, comma);
        if (const std::size_t colon = pair.find(':'); colon != std::string_view::npos) {
            const std::string_view value = pair.substr(colon + 1);
            setParameter(fields, std::string(pair.substr(0, colon)), std::string(value.substr(0, value.find(':'))));
        }
        if (comma == std::string_view::npos) return fields;
        rest.remove_prefix(comma + 1);
    }
}

}  // namespace fenk
