#include "tools/fenk-platform/PlatformPages.h"

namespace fenk {
namespace {

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

}  // namespace

std::string linkPage(std::string_view name) {
    const std::string title = escapeHtml(name);
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + title + "</title></head>\n<body><h1>" +
           title + "</h1><p>A page of the local platform.</p></body></html>\n";
}

}  // namespace fenk
