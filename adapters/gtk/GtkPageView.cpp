#include "adapters/gtk/GtkPageView.h"

#include <memory>

namespace fenk {
namespace {

constexpr const char* kMessageHandler = "fenkPlayer";

// An owned copy of a string GLib handed over.
std::optional<std::string> takeText(char* text) {
    if (!text) return std::nullopt;
    std::string copy(text);
    g_free(text);
    return copy;
}

void onScriptDone(GObject* webView, GAsyncResult* result, gpointer data) {
    const std::unique_ptr<ScriptCompletion> completion(static_cast<ScriptCompletion*>(data));
    GError* error = nullptr;
    const auto value = adopt(webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(webView), result, &error));
    g_clear_error(&error);
    std::optional<std::string> answer;
    // A value JSON cannot spell (undefined, a function) answers null, as JSON.stringify's callers expect.
    if (value) answer = takeText(jsc_value_to_json(value.get(), 0)).value_or("null");
    (*completion)(std::move(answer));
}

}  // namespace

WebKitWebView* newWebView(WebKitUserContentManager* contentManager) {
    auto* webView = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "user-content-manager", contentManager, nullptr));
    webkit_settings_set_media_playback_requires_user_gesture(webkit_web_view_get_settings(webView), FALSE);
    const GdkRGBA black{0, 0, 0, 1};
    webkit_web_view_set_background_color(webView, &black);
    gtk_widget_set_hexpand(GTK_WIDGET(webView), TRUE);
    gtk_widget_set_vexpand(GTK_WIDGET(webView), TRUE);
    return webView;
}

GtkPageView::GtkPageView(ScreenId id, const UiEvents& events, bool redirectButton)
    : id_(id),
      events_(events),
      contentManager_(adopt(webkit_user_content_manager_new())),
      webView_(newWebView(contentManager_.get())),
      frame_(id, events, GTK_WIDGET(webView_), redirectButton),
      scripts_(adopt(g_cancellable_new())) {
    webkit_user_content_manager_register_script_message_handler(contentManager_.get(), kMessageHandler, nullptr);
    signals_.emplace_back(contentManager_.get(), "script-message-received::fenkPlayer", &onMessage, this);
    signals_.emplace_back(webView_, "decide-policy", &onDecidePolicy, this);
    signals_.emplace_back(webView_, "load-changed", &onLoadChanged, this);
}

GtkPageView::GtkPageView(ScreenId id, const UiEvents& events, const PageScreen& screen)
    : GtkPageView(id, events, false) {
    webkit_web_view_load_html(webView_, screen.html.c_str(), screen.baseUrl.empty() ? nullptr : screen.baseUrl.c_str());
}

GtkPageView::GtkPageView(ScreenId id, const UiEvents& events, const LegalScreen& screen)
    : GtkPageView(id, events, screen.acceptButton) {
    frame_.revealClose();
    webkit_web_view_load_uri(webView_, screen.pageUrl.c_str());
}

GtkPageView::~GtkPageView() {
    signals_.clear();
    g_cancellable_cancel(scripts_.get());
    webkit_web_view_stop_loading(webView_);
}

void GtkPageView::evaluateScript(const std::string& script, ScriptCompletion completion) {
    auto pending = std::make_unique<ScriptCompletion>(std::move(completion));
    webkit_web_view_evaluate_javascript(webView_, script.c_str(), static_cast<gssize>(script.size()), nullptr,
                                        nullptr, scripts_.get(), &onScriptDone, pending.release());
}

void GtkPageView::onMessage(WebKitUserContentManager*, JSCValue* message, gpointer view) {
    const auto& self = *static_cast<GtkPageView*>(view);
    // The page posts JSON text; any other value is passed on as its JSON.
    const auto text = jsc_value_is_string(message) ? takeText(jsc_value_to_string(message))
                                                   : takeText(jsc_value_to_json(message, 0));
    report(self.events_.pageMessage, self.id_, text.value_or("null"));
}

gboolean GtkPageView::onDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                                     gpointer view) {
    if (type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION && type != WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION) {
        return FALSE;  // responses take WebKit's default
    }
    const auto& self = *static_cast<GtkPageView*>(view);
    if (!self.events_.navigation) return FALSE;
    WebKitNavigationAction* action =
        webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
    WebKitURIRequest* request = action ? webkit_navigation_action_get_request(action) : nullptr;
    const char* uri = request ? webkit_uri_request_get_uri(request) : nullptr;
    const auto allowed = self.events_.navigation;  // a copy, as report() makes
    const bool go = allowed(self.id_, uri ? std::optional<std::string>(uri) : std::nullopt);
    if (go) {
        webkit_policy_decision_use(decision);
    } else {
        webkit_policy_decision_ignore(decision);
    }
    return TRUE;
}

void GtkPageView::onLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer view) {
    const auto& self = *static_cast<GtkPageView*>(view);
    if (event == WEBKIT_LOAD_FINISHED) report(self.events_.loadFinished, self.id_);
}

}  // namespace fenk
