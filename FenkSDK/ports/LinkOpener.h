#pragma once

#include <string>

namespace fenk {

// Shows a web page to the user: in an in-app browser where the host has one, else in the desktop's browser.
class LinkOpener {
public:
    virtual ~LinkOpener() = default;
    // `url` is an http or https address with a host, checked by the caller. A failure is printed to the console.
    virtual void openWebPage(const std::string& url) = 0;
};

}  // namespace fenk
