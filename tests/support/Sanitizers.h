#pragma once

namespace fenk {

// Whether this test program was built with AddressSanitizer (with UndefinedBehaviorSanitizer beside it) or
// ThreadSanitizer, whose own memory and checks change what some tests can observe.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool kBuiltWithSanitizers = true;
#else
inline constexpr bool kBuiltWithSanitizers = false;
#endif

}  // namespace fenk
