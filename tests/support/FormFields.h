#pragma once

#include "FenkSDK/runtime/Data.h"
#include "tools/fenk-platform/UrlEncoding.h"

#include <string>
#include <string_view>

namespace fenk::test {

// One field of a form body, decoded as the platform decodes it; empty when absent.
inline std::string formField(const Data& body, std::string_view name) {
    return lastValue(parseUrlEncoded(asText(body)), name).value_or("");
}

}  // namespace fenk::test
