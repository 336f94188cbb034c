#pragma once

#include "FenkSDK/ports/Ui.h"

#include <gtk/gtk.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace fenk {

// Runs an event's handler when one is set. It runs a copy: the handler may replace the events, or take away
// the screen that reports, while it runs; the caller touches nothing of its own afterwards.
template <class Handler, class... Args>
void report(const Handler& handler, Args&&... args) {
    if (!handler) return;
    const Handler call = handler;
    call(std::forward<Args>(args)...);
}

using ScriptCompletion = std::function<void(std::optional<std::string>)>;

// Answers a script that cannot run with none, from the loop a moment later, as a page answers: never inside
// the call that asked.
void answerNoneLater(ScriptCompletion completion);

// One thing on screen, a screen or a toast: the widget laid over the window and what it holds, released
// with it. A call that makes no sense for the kind does nothing.
class GtkShownView {
public:
    virtual ~GtkShownView() = default;

    virtual GtkWidget* widget() const = 0;
    // Where the widget goes in the window's overlay; none: it fills the window.
    virtual std::optional<GdkRectangle> placement() const { return std::nullopt; }
    virtual void revealClose() {}
    virtual void showImage(std::optional<Data> /*image*/) {}
    virtual void play() {}
    virtual void pause() {}
    virtual void evaluateScript(const std::string& /*script*/, ScriptCompletion completion) {
        answerNoneLater(std::move(completion));
    }
};

}  // namespace fenk
