#pragma once

#include "FenkSDK/ports/Http.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>

namespace fenk {

// A position upload as the platform stores it: latitude, longitude and descriptor, as sent.
using UploadKey = std::tuple<std::string, std::string, std::string>;

// The SDK's exchanges, watched for position uploads that the platform took (a reply with a body and a 2xx
// status): how many times each upload went through, which is how many times the platform should hold it.
class UploadLedger final : public Http {
public:
    explicit UploadLedger(std::shared_ptr<Http> http) : http_(std::move(http)) {}

    void send(HttpRequest request, Completion completion) override;

    std::map<UploadKey, std::int64_t> delivered() const;

private:
    const std::shared_ptr<Http> http_;
    mutable std::mutex mutex_;
    std::map<UploadKey, std::int64_t> delivered_;
};

// Compares what went through with what the platform holds: positions the platform holds more often than they
// went through (a reply lost after the platform stored it), and positions it holds less often.
struct LedgerComparison {
    std::int64_t duplicates = 0;
    std::int64_t missing = 0;
};
LedgerComparison compareWithPlatform(const std::map<UploadKey, std::int64_t>& delivered,
                                     const std::map<UploadKey, std::int64_t>& stored);

}  // namespace fenk
