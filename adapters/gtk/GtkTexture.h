#pragma once

#include "FenkSDK/runtime/Data.h"
#include "adapters/gtk/GObjectPtr.h"

#include <gtk/gtk.h>

#include <optional>

namespace fenk {

// The decoded image, or none when there is no image or it does not decode.
GObjectPtr<GdkTexture> decodeTexture(const std::optional<Data>& image);

}  // namespace fenk
