#include "tools/fenk-platform/PlatformPages.h"

#include <array>
#include <utility>

namespace fenk {
namespace {

// Pages that say more than their name. "video" shares a short link of the online player, as a page that
// recommends a video does; the SDK reads the video's id from such a page.
constexpr std::array<std::pair<std::string_view, std::string_view>, 4> kPageContents{{
    {"video", "<p>The tour of the screens: <a href=\"https://youtu.be/fenkTour01?si=x\">watch it</a>.</p>"},
    {"summary.html", "<p>In short: we keep where you go to tell you about places near you. Accept to read the whole terms.</p>"},
    {"terms.html", "<p>The terms of use in full: what is kept, for how long, and how to have it removed.</p>"},
    {"update.html", "<p>Our terms have changed: here is what is new.</p>"},
}};

std::string_view contentOf(std::string_view name) {
    for (const auto& [pageName, content] : kPageContents) {
        if (pageName == name) return content;
    }
    return "<p>A page of the local platform.</p>";
}

}  // namespace

// Text made safe to place inside HTML elements and quoted attributes.
std::string escapeHtml(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char character : text) {
        switch (character) {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            case '"': escaped += "&quot;"; break;
            case '\'': escaped += "&#39;"; break;
            default: escaped += character;
        }
    }
    return escaped;
}

std::string linkPage(std::string_view name) {
    const std::string title = escapeHtml(name);
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + title + "</title></head>\n<body><h1>" +
           title + "</h1>" + std::string(contentOf(name)) + "</body></html>\n";
}

}  // namespace fenk
