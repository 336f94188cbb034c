#include "adapters/gtk/GtkTexture.h"

namespace fenk {

GObjectPtr<GdkTexture> decodeTexture(const std::optional<Data>& image) {
    if (!image || image->empty()) return {};
    const std::unique_ptr<GBytes, decltype(&g_bytes_unref)> bytes(g_bytes_new(image->data(), image->size()),
                                                                  &g_bytes_unref);
    GError* error = nullptr;
    GdkTexture* texture = gdk_texture_new_from_bytes(bytes.get(), &error);
    g_clear_error(&error);
    return adopt(texture);
}

}  // namespace fenk
