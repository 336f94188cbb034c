#include "tools/fenk-demo/UploadLedger.h"

#include "tools/fenk-platform/UrlEncoding.h"

#include <algorithm>
#include <string_view>

namespace fenk {
namespace {

constexpr std::string_view kUploadService = "/soa.api.user.location.update";

}  // namespace

void UploadLedger::send(HttpRequest request, Completion completion) {
    if (request.url.find(kUploadService) == std::string::npos) {
        http_->send(std::move(request), std::move(completion));
        return;
    }
    const NameValueList form = parseUrlEncoded(asText(request.body));
    UploadKey key{lastValue(form, "latitude").value_or(""), lastValue(form, "longitude").value_or(""),
                  lastValue(form, "extra").value_or("")};
    http_->send(std::move(request), [this, key = std::move(key), completion = std::move(completion)](
                                        std::optional<Data> body, std::optional<HttpResponse> response,
                                        std::optional<HttpError> error) {
        const int status = response ? response->statusCode : 0;
        if (body && status >= 200 && status < 300) {
            const std::lock_guard lock(mutex_);
            ++delivered_[key];
        }
        completion(std::move(body), response, std::move(error));
    });
}

std::map<UploadKey, std::int64_t> UploadLedger::delivered() const {
    const std::lock_guard lock(mutex_);
    return delivered_;
}

LedgerComparison compareWithPlatform(const std::map<UploadKey, std::int64_t>& delivered,
                                     const std::map<UploadKey, std::int64_t>& stored) {
    LedgerComparison comparison;
    for (const auto& [key, times] : stored) {
        const auto went = delivered.find(key);
        comparison.duplicates += std::max<std::int64_t>(0, times - (went == delivered.end() ? 0 : went->second));
    }
    for (const auto& [key, times] : delivered) {
        const auto held = stored.find(key);
        comparison.missing += std::max<std::int64_t>(0, times - (held == stored.end() ? 0 : held->second));
    }
    return comparison;
}

}  // namespace fenk
