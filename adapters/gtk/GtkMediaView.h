#pragma once

#include "adapters/gtk/GObjectPtr.h"
#include "adapters/gtk/GtkScreenFrame.h"
#include "adapters/gtk/GtkShownView.h"

#include <vector>

namespace fenk {

// A full-screen player on black: a spinner until the stream is prepared or has failed, the last frame kept at
// the end, and in audio mode the artwork in front. Reports ready, failed and ended as the stream reaches them.
class GtkMediaView final : public GtkShownView {
public:
    GtkMediaView(ScreenId id, const UiEvents& events, const MediaScreen& screen);
    ~GtkMediaView() override;
    GtkMediaView(const GtkMediaView&) = delete;
    GtkMediaView& operator=(const GtkMediaView&) = delete;

    GtkWidget* widget() const override { return frame_.widget(); }
    void revealClose() override { frame_.revealClose(); }
    void showImage(std::optional<Data> image) override;
    void play() override { gtk_media_stream_play(stream_.get()); }
    void pause() override { gtk_media_stream_pause(stream_.get()); }

private:
    static void onPrepared(GtkMediaStream*, GParamSpec*, gpointer view);
    static void onError(GtkMediaStream*, GParamSpec*, gpointer view);
    static void onEnded(GtkMediaStream*, GParamSpec*, gpointer view);
    // Ready or failed: the wait is over.
    void settle(MediaEvent event);

    const ScreenId id_;
    const UiEvents& events_;
    const MediaMode mode_;
    GObjectPtr<GtkMediaStream> stream_;
    GtkWidget* spinner_;  // these three are owned by frame_
    GtkWidget* artwork_ = nullptr;
    GtkWidget* content_;
    GtkScreenFrame frame_;
    std::vector<SignalConnection> signals_;
};

}  // namespace fenk
