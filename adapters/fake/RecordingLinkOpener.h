#pragma once

#include "FenkSDK/ports/LinkOpener.h"

#include <string>
#include <vector>

namespace fenk {

// Records the pages the SDK asked to open, in order, and opens none.
class RecordingLinkOpener final : public LinkOpener {
public:
    void openWebPage(const std::string& url) override { urls_.push_back(url); }
    const std::vector<std::string>& urls() const { return urls_; }

private:
    std::vector<std::string> urls_;
};

}  // namespace fenk
