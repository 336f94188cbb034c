#pragma once

#include "FenkSDK/ports/Ui.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fenk::contract {

// What every interface toolkit must do, run against each of them. A driver provides:
//   std::shared_ptr<Ui> ui();
//   std::vector<ScreenId> shown();       the ids on screen now, as the toolkit's own widgets tell
//   void pump();                         lets the toolkit settle (runs its loop until idle)
//   std::optional<std::string> unavailableReason() const;

template <class Driver>
class UiContract : public ::testing::Test {
protected:
    void SetUp() override {
        if (const auto reason = driver_.unavailableReason()) GTEST_SKIP() << *reason;
        ui_ = driver_.ui();
    }

    std::vector<ScreenId> shownNow() {
        driver_.pump();
        auto shown = driver_.shown();
        std::ranges::sort(shown);
        return shown;
    }

    static Toast messageToast(std::string message) { return {std::nullopt, std::move(message), std::nullopt, {}}; }

    Driver driver_;
    std::shared_ptr<Ui> ui_;
};

TYPED_TEST_SUITE_P(UiContract);

// Every kind of screen, and a toast, is on screen once shown and gone once dismissed.
TYPED_TEST_P(UiContract, WhatIsShownIsGoneOnceDismissed) {
    auto& ui = *this->ui_;
    const Screen screens[] = {
        ImageScreen{},
        MediaScreen{MediaMode::audio, std::nullopt, std::nullopt, true},
        PageScreen{"<p>Hello</p>", "http://127.0.0.1/"},
        LegalScreen{"about:blank", true},
    };
    ScreenId id = 1;
    for (const auto& screen : screens) {
        ui.present(id, screen);
        EXPECT_EQ(this->shownNow(), std::vector<ScreenId>{id}) << "screen kind " << screen.index();
        ui.dismiss(id);
        EXPECT_TRUE(this->shownNow().empty()) << "screen kind " << screen.index();
        ++id;
    }
    ui.showToast(id, this->messageToast("Welcome"), {200, 700});
    EXPECT_EQ(this->shownNow(), std::vector<ScreenId>{id});
    ui.dismiss(id);
    EXPECT_TRUE(this->shownNow().empty());
}

TYPED_TEST_P(UiContract, DismissingAnIdNotShownOrAlreadyDismissedIsIgnored) {
    auto& ui = *this->ui_;
    ui.present(1, ImageScreen{});
    ui.dismiss(2);
    EXPECT_EQ(this->shownNow(), std::vector<ScreenId>{1});
    ui.dismiss(1);
    ui.dismiss(1);
    EXPECT_TRUE(this->shownNow().empty());
}

TYPED_TEST_P(UiContract, ScreensAndAToastShownTogetherAreDismissedIndependently) {
    auto& ui = *this->ui_;
    ui.present(1, ImageScreen{});
    ui.present(2, MediaScreen{});
    ui.showToast(3, this->messageToast("Over both"), {200, 700});
    EXPECT_EQ(this->shownNow(), (std::vector<ScreenId>{1, 2, 3}));
    ui.dismiss(2);
    EXPECT_EQ(this->shownNow(), (std::vector<ScreenId>{1, 3}));
    ui.dismiss(3);
    EXPECT_EQ(this->shownNow(), std::vector<ScreenId>{1});
    ui.dismiss(1);
    EXPECT_TRUE(this->shownNow().empty());
}

// A long message wraps within the limit instead of running off the window.
TYPED_TEST_P(UiContract, AMeasuredToastFitsItsLimit) {
    const Size limit{150, 90};
    const Size size = this->ui_->measureToast(this->messageToast(std::string(400, 'w')), limit);
    EXPECT_GT(size.width, 0);
    EXPECT_LE(size.width, limit.width);
    EXPECT_GT(size.height, 0);
    EXPECT_LE(size.height, limit.height);
}

REGISTER_TYPED_TEST_SUITE_P(UiContract, WhatIsShownIsGoneOnceDismissed,
                            DismissingAnIdNotShownOrAlreadyDismissedIsIgnored,
                            ScreensAndAToastShownTogetherAreDismissedIndependently, AMeasuredToastFitsItsLimit);

}  // namespace fenk::contract
