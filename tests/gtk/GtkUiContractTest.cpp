#include "contract/UiContract.h"
#include "gtk/GtkTestSupport.h"

namespace fenk {
namespace {

// The contract over a real window; what is shown is read from the overlay's children.
class GtkUiDriver {
public:
    std::shared_ptr<Ui> ui() { return ui_; }
    std::vector<ScreenId> shown() const { return gtktest::shownIds(ui_->overlay()); }
    void pump() { gtktest::pump(); }
    std::optional<std::string> unavailableReason() const { return gtktest::gtkUnavailable(); }

private:
    std::optional<gtktest::TestWindow> window_ = gtktest::gtkUnavailable()
                                                    ? std::nullopt
                                                    : std::make_optional<gtktest::TestWindow>(400, 800);
    std::shared_ptr<GtkUi> ui_ = window_ ? std::make_shared<GtkUi>(window_->get()) : nullptr;
};

}  // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Gtk, UiContract, GtkUiDriver);
}  // namespace contract
}  // namespace fenk
