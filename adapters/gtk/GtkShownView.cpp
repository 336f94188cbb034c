#include "adapters/gtk/GtkShownView.h"

#include <memory>

namespace fenk {

void answerNoneLater(ScriptCompletion completion) {
    auto pending = std::make_unique<ScriptCompletion>(std::move(completion));
    g_idle_add_once(
        [](gpointer data) {
            const std::unique_ptr<ScriptCompletion> answer(static_cast<ScriptCompletion*>(data));
            (*answer)(std::nullopt);
        },
        pending.release());
}

}  // namespace fenk
