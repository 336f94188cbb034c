#include "adapters/gtk/GtkImageView.h"

#include "adapters/gtk/GtkTexture.h"

namespace fenk {

GtkWidget* fittedPicture() {
    GtkWidget* picture = gtk_picture_new();
    gtk_picture_set_content_fit(GTK_PICTURE(picture), GTK_CONTENT_FIT_CONTAIN);
    gtk_widget_set_hexpand(picture, TRUE);
    gtk_widget_set_vexpand(picture, TRUE);
    // Its natural size is the window's, whatever the image's pixel size.
    gtk_picture_set_can_shrink(GTK_PICTURE(picture), TRUE);
    return picture;
}

void setPictureImage(GtkWidget* picture, const std::optional<Data>& image) {
    const auto texture = decodeTexture(image);
    gtk_picture_set_paintable(GTK_PICTURE(picture), texture ? GDK_PAINTABLE(texture.get()) : nullptr);
}

GtkImageView::GtkImageView(ScreenId id, const UiEvents& events, const ImageScreen& screen)
    : picture_(fittedPicture()), frame_(id, events, picture_, screen.redirectButton) {
    setPictureImage(picture_, screen.image);
}

void GtkImageView::showImage(std::optional<Data> image) { setPictureImage(picture_, image); }

}  // namespace fenk
