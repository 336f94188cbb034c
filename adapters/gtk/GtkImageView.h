#pragma once

#include "adapters/gtk/GtkScreenFrame.h"
#include "adapters/gtk/GtkShownView.h"

namespace fenk {

// A full-screen image, scaled to fit and centred on black.
class GtkImageView final : public GtkShownView {
public:
    GtkImageView(ScreenId id, const UiEvents& events, const ImageScreen& screen);

    GtkWidget* widget() const override { return frame_.widget(); }
    void revealClose() override { frame_.revealClose(); }
    void showImage(std::optional<Data> image) override;

private:
    GtkWidget* picture_;  // owned by frame_
    GtkScreenFrame frame_;
};

// A picture that scales its image to fit within its space, keeping the image's proportions.
GtkWidget* fittedPicture();
// Shows the image in the picture, or nothing when there is none or it does not decode.
void setPictureImage(GtkWidget* picture, const std::optional<Data>& image);

}  // namespace fenk
