#include "gtk/GtkTestSupport.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace fenk {
namespace {

using gtktest::near;
using gtktest::Rendering;
using gtktest::Rgba;

constexpr Rgba kRed{255, 0, 0};
constexpr Rgba kGreen{0, 255, 0};
constexpr Rgba kBlue{0, 0, 255};
constexpr Rgba kBlack{0, 0, 0};

class GtkScreensTest : public ::testing::Test {
protected:
    void SetUp() override { FENK_SKIP_WITHOUT_GTK(); }

    // A window of the size with the toolkit over it, laid out at that size.
    void open(int width, int height) {
        window_.emplace(width, height);
        ui_.emplace(window_->get());
        ui_->setEvents(events_);
        GtkWidget* overlay = GTK_WIDGET(ui_->overlay());
        gtktest::waitUntil([&] {
            return gtk_widget_get_width(overlay) == width && gtk_widget_get_height(overlay) == height;
        });
    }

    GtkWidget* overlay() const { return GTK_WIDGET(ui_->overlay()); }

    // Waits until the pixel at (x, y) of the window's content is `expected`, and answers the rendering.
    Rendering renderedWith(int x, int y, Rgba expected) {
        std::optional<Rendering> rendering;
        gtktest::waitUntil([&] {
            rendering.emplace(overlay());
            return near(rendering->at(x, y), expected);
        });
        EXPECT_TRUE(near(rendering->at(x, y), expected)) << rendering->at(x, y) << " at " << x << "," << y;
        return std::move(*rendering);
    }

    UiEvents events_;
    std::vector<std::pair<ScreenId, Control>> taps_;
    std::optional<gtktest::TestWindow> window_;
    std::optional<GtkUi> ui_;
};

// Each kind of screen fills the window in both orientations: what it shows in the middle, and black (or the
// page) in the corner where a fitted image leaves a border.
TEST_F(GtkScreensTest, EachScreenFillsTheWindowInBothOrientations) {
    struct Case {
        const char* name;
        Screen screen;
        Rgba middle;
        Rgba corner;
    };
    const Case cases[] = {
        {"image", ImageScreen{gtktest::solidPng(kRed), true}, kRed, kBlack},
        {"audio", MediaScreen{MediaMode::audio, std::nullopt, gtktest::solidPng(kGreen), true}, kGreen, kBlack},
        {"page", PageScreen{"<body style='background: rgb(0,0,255)'></body>", "http://127.0.0.1/"}, kBlue, kBlue},
    };
    struct Orientation {
        const char* name;
        int width;
        int height;
    };
    for (const Orientation orientation : {Orientation{"portrait", 400, 800}, Orientation{"landscape", 800, 400}}) {
        open(orientation.width, orientation.height);
        ScreenId id = 1;
        for (const Case& kind : cases) {
            SCOPED_TRACE(std::string(kind.name) + " in " + orientation.name);
            ui_->present(id, kind.screen);
            ui_->revealClose(id);
            gtktest::pump();
            ASSERT_EQ(gtktest::shownIds(ui_->overlay()), std::vector<ScreenId>{id});
            // Laid out at the next frame, which a busy machine may draw late.
            GtkWidget* screen = gtk_widget_get_last_child(overlay());
            gtktest::waitUntil([&] {
                return gtk_widget_get_width(screen) == orientation.width &&
                       gtk_widget_get_height(screen) == orientation.height;
            });

            const Rendering rendering = renderedWith(orientation.width / 2, orientation.height / 2, kind.middle);
            EXPECT_TRUE(near(rendering.at(4, 4), kind.corner)) << rendering.at(4, 4);
            rendering.keepAsScreenshot(std::string(kind.name) + "-" + orientation.name);
            ui_->dismiss(id++);
        }
    }
}

// showImage replaces the picture; an image that does not decode, or none, leaves the screen black.
TEST_F(GtkScreensTest, ShowImageReplacesTheImage) {
    open(400, 800);
    ui_->present(1, ImageScreen{gtktest::solidPng(kRed), false});
    renderedWith(200, 400, kRed);
    const struct {
        const char* name;
        std::optional<Data> image;
        Rgba middle;
    } cases[] = {
        {"another image", gtktest::solidPng(kGreen), kGreen},
        {"bytes that are no image", toData("\x89PNG not really"), kBlack},
        {"no image", std::nullopt, kBlack},
    };
    for (const auto& replacement : cases) {
        SCOPED_TRACE(replacement.name);
        ui_->showImage(1, replacement.image);
        renderedWith(200, 400, replacement.middle);
    }
}

// A toast is drawn in its colours, at the size it was measured, with its centre where the core put it; its
// text wraps within the limit and is never markup.
TEST_F(GtkScreensTest, AToastIsDrawnAtItsCentreInItsColours) {
    open(400, 800);
    Toast toast{"<b>Title</b>", "Come and see the new shop in the square, open every day from nine", std::nullopt, {}};
    toast.style.backgroundColor = {0, 0, 1, 1};
    toast.style.fadeDuration = 0;
    const Point centre{200, 600};
    const Size measured = ui_->measureToast(toast, {320, 640});
    EXPECT_EQ(measured.width, 320) << "the message wraps at the limit";
    ui_->showToast(7, toast, centre);

    GtkWidget* box = gtk_widget_get_last_child(overlay());
    graphene_rect_t bounds;
    // Laid out at the next frame.
    gtktest::waitUntil([&] {
        return gtk_widget_compute_bounds(box, overlay(), &bounds) && bounds.size.width == measured.width;
    });
    EXPECT_EQ(bounds.size.height, measured.height);
    EXPECT_NEAR(bounds.origin.x + bounds.size.width / 2, centre.x, 1);
    EXPECT_NEAR(bounds.origin.y + bounds.size.height / 2, centre.y, 1);
    // The rendered box: the background just inside its left edge, clear of the text.
    const Rendering rendering = renderedWith(static_cast<int>(bounds.origin.x) + 3, static_cast<int>(centre.y), kBlue);
    rendering.keepAsScreenshot("toast");
    GtkWidget* title = gtk_widget_get_first_child(box);
    EXPECT_STREQ(pango_layout_get_text(gtk_label_get_layout(GTK_LABEL(title))), "<b>Title</b>");
}

// The buttons report their taps: close once revealed, redirect when the screen has one; a click on a toast is
// a tap on it. A close that takes its own screen away, as the core does, leaves nothing behind.
TEST_F(GtkScreensTest, ButtonsReportTheirTaps) {
    events_.tapped = [this](ScreenId id, Control control) {
        taps_.emplace_back(id, control);
        if (control == Control::close) ui_->dismiss(id);
    };
    open(400, 800);
    ui_->present(1, ImageScreen{std::nullopt, true});
    ui_->present(2, MediaScreen{MediaMode::video, std::nullopt, std::nullopt, false});
    gtktest::pump();
    GtkWidget* image = gtk_widget_get_prev_sibling(gtk_widget_get_last_child(overlay()));
    GtkWidget* media = gtk_widget_get_last_child(overlay());
    GtkWidget* close = gtktest::findNamed(image, "close");
    ASSERT_NE(close, nullptr);
    EXPECT_FALSE(gtk_widget_get_visible(close));
    EXPECT_EQ(gtktest::findNamed(media, "redirect"), nullptr);

    ui_->revealClose(1);
    EXPECT_TRUE(gtk_widget_get_visible(close));
    gtktest::click(gtktest::findNamed(image, "redirect"));
    gtktest::click(close);
    ui_->revealClose(2);
    gtktest::click(gtktest::findNamed(media, "close"));
    ui_->showToast(3, {std::nullopt, "Tap me", std::nullopt, {}}, {200, 700});
    const auto controllers = adopt(gtk_widget_observe_controllers(gtk_widget_get_last_child(overlay())));
    for (guint i = 0; i < g_list_model_get_n_items(controllers.get()); ++i) {
        const auto controller = adopt(G_OBJECT(g_list_model_get_item(controllers.get(), i)));
        if (GTK_IS_GESTURE_CLICK(controller.get())) g_signal_emit_by_name(controller.get(), "released", 1, 10.0, 10.0);
    }
    ui_->dismiss(3);
    // The legal screen's close is there from the start, beside its accept button.
    ui_->present(4, LegalScreen{"about:blank", true});
    GtkWidget* legal = gtk_widget_get_last_child(overlay());
    EXPECT_TRUE(gtk_widget_get_visible(gtktest::findNamed(legal, "close")));
    gtktest::click(gtktest::findNamed(legal, "redirect"));
    gtktest::click(gtktest::findNamed(legal, "close"));
    gtktest::pump();
    EXPECT_EQ(taps_, (std::vector<std::pair<ScreenId, Control>>{{1, Control::redirect},
                                                                {1, Control::close},
                                                                {2, Control::close},
                                                                {3, Control::toast},
                                                                {4, Control::redirect},
                                                                {4, Control::close}}));
    EXPECT_TRUE(gtktest::shownIds(ui_->overlay()).empty());
}

// Script where no page is shown fails, answered later as a page answers, never inside the call.
TEST_F(GtkScreensTest, ScriptWithoutAPageAnswersNoneLater) {
    open(400, 800);
    ui_->present(1, ImageScreen{});
    for (const ScreenId id : {ScreenId{1}, ScreenId{2}}) {
        SCOPED_TRACE(id == 1 ? "an image screen" : "an id not shown");
        std::vector<std::optional<std::string>> answers;
        ui_->evaluateScript(id, "1 + 1", [&](std::optional<std::string> answer) { answers.push_back(answer); });
        EXPECT_TRUE(answers.empty());
        gtktest::pump();
        EXPECT_EQ(answers, std::vector<std::optional<std::string>>{std::nullopt});
    }
}

// Everything a screen or a toast held is released once it is dismissed: its widgets, and the stream or the web
// view in it (else a dismissed player would play on, unseen).
TEST_F(GtkScreensTest, DismissingReleasesEverythingItHeld) {
    open(400, 800);
    const struct {
        const char* name;
        std::function<void(ScreenId)> show;
    } cases[] = {
        {"image", [&](ScreenId id) { ui_->present(id, ImageScreen{gtktest::solidPng(kRed), true}); }},
        {"media", [&](ScreenId id) {
             ui_->present(id, MediaScreen{MediaMode::audio, "http://127.0.0.1:9/clip.ogg", gtktest::solidPng(kRed), true});
         }},
        {"page", [&](ScreenId id) { ui_->present(id, PageScreen{"<p>Hello</p>", "http://127.0.0.1/"}); }},
        {"toast", [&](ScreenId id) { ui_->showToast(id, {"Title", "Message", gtktest::solidPng(kRed), {}}, {200, 700}); }},
    };
    ScreenId id = 1;
    for (const auto& kind : cases) {
        SCOPED_TRACE(kind.name);
        kind.show(id);
        gtktest::pump();
        const gtktest::WeakRefs held(gtk_widget_get_last_child(overlay()));
        ui_->dismiss(id++);
        // The window lets its last frame go once it has drawn the next.
        gtktest::waitUntil([&] { return held.alive() == 0; });
    }
}

// The toolkit does not keep the host's window alive: closing it ends it as the host expects (hosts quit on its
// "destroy"), and the toolkit then has no window and shows nothing.
TEST(GtkUiWindowTest, TheHostsWindowGoesWhenTheHostClosesIt) {
    FENK_SKIP_WITHOUT_GTK();
    GtkWindow* window = GTK_WINDOW(gtk_window_new());
    bool destroyed = false;
    g_signal_connect_swapped(window, "destroy", G_CALLBACK(+[](bool* flag) { *flag = true; }), &destroyed);
    gtk_window_present(window);
    GtkUi ui(window);
    ui.present(1, ImageScreen{});
    EXPECT_TRUE(ui.hasWindow());
    gtk_window_destroy(window);
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(ui.hasWindow());
    ui.present(2, ImageScreen{});
    ui.dismiss(1);
    ui.dismiss(2);
}

// Screens of each kind but pages, and toasts, come and go a thousand times, interleaved; none is left over.
// Pages start a web process each and are left to the contract suite and the player test.
TEST_F(GtkScreensTest, AThousandInterleavedScreensLeaveNothingBehind) {
    open(400, 800);
    const Toast toast{std::nullopt, "Hello", gtktest::solidPng(kGreen, 8, 8), {}};
    std::deque<ScreenId> onScreen;
    for (ScreenId id = 1; id <= 1000; ++id) {
        switch (id % 3) {
            case 0: ui_->present(id, ImageScreen{gtktest::solidPng(kRed, 4, 4), true}); break;
            case 1: ui_->present(id, MediaScreen{MediaMode::audio, std::nullopt, std::nullopt, true}); break;
            default: ui_->showToast(id, toast, {200, 700}); break;
        }
        onScreen.push_back(id);
        // Take away the oldest or the newest in turn, keeping a few on screen at once.
        if (onScreen.size() > 3) {
            const bool oldest = id % 2 == 0;
            ui_->dismiss(oldest ? onScreen.front() : onScreen.back());
            oldest ? onScreen.pop_front() : onScreen.pop_back();
        }
        if (id % 50 == 0) gtktest::pump();
    }
    for (const ScreenId id : onScreen) ui_->dismiss(id);
    gtktest::pump();
    EXPECT_TRUE(gtktest::shownIds(ui_->overlay()).empty());
    // Only the host's own content is left in the overlay.
    EXPECT_EQ(gtk_widget_get_first_child(overlay()), gtk_widget_get_last_child(overlay()));
}

}  // namespace
}  // namespace fenk
