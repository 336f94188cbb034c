#pragma once

#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/ports/LinkOpener.h"

#include <memory>
#include <optional>
#include <string>

namespace fenk {

// Opens web pages in the desktop's browser: through the desktop portal's OpenURI on the session bus, or, when
// that fails, by running `fallbackProgram URL` (no shell in between) and reaping it. The work blocks, so it
// runs on `queue`, a serial queue of its own: a fallback program that stays with the browser holds it until
// the browser exits, and nothing else should wait behind that.
class DesktopLinkOpener final : public LinkOpener {
public:
    // `busAddress` absent: the user's session bus, as the environment names it.
    explicit DesktopLinkOpener(std::shared_ptr<DispatchQueue> queue, std::optional<std::string> busAddress = std::nullopt,
                               std::string fallbackProgram = "xdg-open");

    void openWebPage(const std::string& url) override;

private:
    const std::shared_ptr<DispatchQueue> queue_;
    const std::optional<std::string> busAddress_;
    const std::string fallbackProgram_;
};

}  // namespace fenk
