#pragma once

#include <string_view>

namespace fenk {

// Whether the host's platform address is acceptable to register with: it must match, as a whole,
//   (http|https)://((\w)*|([0-9]*)|([-|_])*)+([\.|/]((\w)*|([0-9]*)|([-|_])*))+
// in ICU's dialect (\w is any Unicode word character). Text that is not UTF-8 never matches. Thread-safe;
// the work is linear in the length of the address.
bool isValidPlatformAddress(std::string_view address);

}  // namespace fenk
