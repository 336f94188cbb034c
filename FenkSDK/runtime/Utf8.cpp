#include "FenkSDK/runtime/Utf8.h"

#include <simdjson.h>

namespace fenk {

bool isValidUtf8(std::string_view text) { return simdjson::validate_utf8(text.data(), text.size()); }

}  // namespace fenk
