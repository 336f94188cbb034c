#pragma once

#include "FenkSDK/api/RequestParameters.h"

#include <optional>
#include <string>

namespace fenk {

// The fields of a host's extra-data text "k:v,k2:v2": pairs split at ",", each pair's name and value at ":".
// Only the first two parts of a pair count ("a:b:c" gives a = b), a repeated name takes the later value in
// the place of its first, and nothing is trimmed. A pair without ":" (an empty text too) names nothing and
// is skipped, so one stray comma does not cost the host the rest of its data. An absent text has no fields.
RequestParameters extraDataFields(const std::optional<std::string>& text);

}  // namespace fenk
