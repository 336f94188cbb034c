#include "adapters/fake/FakeDispatcher.h"
#include "adapters/fake/RecordingUi.h"
#include "contract/UiContract.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace fenk {
namespace {

struct RecordingUiDriver {
    std::shared_ptr<Ui> ui() { return fake; }
    std::vector<ScreenId> shown() const { return fake->shown(); }
    void pump() { dispatcher.runUntilIdle(); }
    std::optional<std::string> unavailableReason() const { return std::nullopt; }

    FakeDispatcher dispatcher;
    std::shared_ptr<RecordingUi> fake = std::make_shared<RecordingUi>(dispatcher.mainQueue());
};

}  // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Recording, UiContract, RecordingUiDriver);
}  // namespace contract
}  // namespace fenk
