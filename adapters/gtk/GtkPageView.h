#pragma once

#include "adapters/gtk/GObjectPtr.h"
#include "adapters/gtk/GtkScreenFrame.h"
#include "adapters/gtk/GtkShownView.h"

#include <webkit/webkit.h>

#include <vector>

namespace fenk {

// A page in a web view, one the core composed or one on the web: its "fenkPlayer" script messages, its finished
// loads and its navigations go to the events; media in it may play without a gesture.
class GtkPageView final : public GtkShownView {
public:
    GtkPageView(ScreenId id, const UiEvents& events, const PageScreen& screen);
    // With the close button shown at once and the accept button as the frame's redirect button.
    GtkPageView(ScreenId id, const UiEvents& events, const LegalScreen& screen);
    ~GtkPageView() override;
    GtkPageView(const GtkPageView&) = delete;
    GtkPageView& operator=(const GtkPageView&) = delete;

    GtkWidget* widget() const override { return frame_.widget(); }
    void revealClose() override { frame_.revealClose(); }
    void evaluateScript(const std::string& script, ScriptCompletion completion) override;

private:
    GtkPageView(ScreenId id, const UiEvents& events, bool redirectButton);

    static void onMessage(WebKitUserContentManager*, JSCValue* message, gpointer view);
    static gboolean onDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                                   gpointer view);
    static void onLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer view);

    const ScreenId id_;
    const UiEvents& events_;
    GObjectPtr<WebKitUserContentManager> contentManager_;
    WebKitWebView* webView_;  // owned by frame_
    GtkScreenFrame frame_;
    GObjectPtr<GCancellable> scripts_;  // cancelled with the page, so no answer waits on a closed one
    std::vector<SignalConnection> signals_;
};

// A web view for pages the core lets play media without a gesture.
WebKitWebView* newWebView(WebKitUserContentManager* contentManager);

}  // namespace fenk
