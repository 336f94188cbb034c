#pragma once

#include "FenkSDK/runtime/Data.h"

namespace fenk {

// Whether the bytes open as a PNG, JPEG, GIF or WebP image does, judged by the leading signature alone: the
// only formats a notice may carry, so a page or script served in place of an icon never reaches the system.
bool isNoticeImage(const Data& bytes);

}  // namespace fenk
