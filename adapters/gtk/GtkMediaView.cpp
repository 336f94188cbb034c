#include "adapters/gtk/GtkMediaView.h"

#include "adapters/gtk/GtkImageView.h"

namespace fenk {
namespace {

GtkMediaStream* streamFor(const std::optional<std::string>& url) {
    if (!url) return GTK_MEDIA_STREAM(gtk_media_file_new());
    const auto file = adopt(g_file_new_for_uri(url->c_str()));
    return GTK_MEDIA_STREAM(gtk_media_file_new_for_file(file.get()));
}

}  // namespace

GtkMediaView::GtkMediaView(ScreenId id, const UiEvents& events, const MediaScreen& screen)
    : id_(id),
      events_(events),
      mode_(screen.mode),
      stream_(adopt(streamFor(screen.url))),
      spinner_(gtk_spinner_new()),
      content_(gtk_overlay_new()),
      frame_(id, events, content_, screen.redirectButton) {
    GtkWidget* video = fittedPicture();
    gtk_picture_set_paintable(GTK_PICTURE(video), GDK_PAINTABLE(stream_.get()));
    gtk_overlay_set_child(GTK_OVERLAY(content_), video);
    if (mode_ == MediaMode::audio) {
        artwork_ = fittedPicture();
        setPictureImage(artwork_, screen.artwork);
        gtk_overlay_add_overlay(GTK_OVERLAY(content_), artwork_);
    }
    gtk_widget_set_halign(spinner_, GTK_ALIGN_CENTER);
    gtk_widget_set_valign(spinner_, GTK_ALIGN_CENTER);
    gtk_widget_set_size_request(spinner_, 48, 48);
    gtk_overlay_add_overlay(GTK_OVERLAY(content_), spinner_);
    // Without an address there is nothing to wait for.
    gtk_spinner_set_spinning(GTK_SPINNER(spinner_), screen.url.has_value());
    gtk_widget_set_visible(spinner_, screen.url.has_value());

    signals_.emplace_back(stream_.get(), "notify::prepared", &onPrepared, this);
    signals_.emplace_back(stream_.get(), "notify::error", &onError, this);
    signals_.emplace_back(stream_.get(), "notify::ended", &onEnded, this);
}

GtkMediaView::~GtkMediaView() {
    signals_.clear();
    gtk_media_stream_pause(stream_.get());
}

void GtkMediaView::showImage(std::optional<Data> image) {
    if (artwork_) setPictureImage(artwork_, image);
}

void GtkMediaView::settle(MediaEvent event) {
    gtk_spinner_set_spinning(GTK_SPINNER(spinner_), FALSE);
    gtk_widget_set_visible(spinner_, FALSE);
    report(events_.media, id_, event);
}

void GtkMediaView::onPrepared(GtkMediaStream* stream, GParamSpec*, gpointer view) {
    // A stream that failed may still learn what it would have held; it stays failed.
    if (gtk_media_stream_is_prepared(stream) && !gtk_media_stream_get_error(stream)) static_cast<GtkMediaView*>(view)->settle(MediaEvent::ready);
}

void GtkMediaView::onError(GtkMediaStream* stream, GParamSpec*, gpointer view) {
    if (gtk_media_stream_get_error(stream)) static_cast<GtkMediaView*>(view)->settle(MediaEvent::failed);
}

void GtkMediaView::onEnded(GtkMediaStream* stream, GParamSpec*, gpointer view) {
    const auto& self = *static_cast<GtkMediaView*>(view);
    if (gtk_media_stream_get_ended(stream)) report(self.events_.media, self.id_, MediaEvent::ended);
}

}  // namespace fenk
