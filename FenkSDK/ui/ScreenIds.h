#pragma once

#include "FenkSDK/ports/Ui.h"

namespace fenk {

// A screen or toast id never handed out before in this process, from any thread, so that an event for
// something long gone can never be taken for something new.
ScreenId nextScreenId();

}  // namespace fenk
