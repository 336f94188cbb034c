#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

#include "FenkSDK/json/RecordCodec.h"

namespace fenk {

// One request as the platform received it, for tests to inspect.
struct RecordedRequest {
    std::int64_t connection{};  // numbers the TCP connections in the order they were accepted, from 1
    std::string method{};
    std::string target{};  // path and query exactly as sent
    std::string path{};    // decoded
    std::map<std::string, std::string> query{};
    std::map<std::string, std::string> form{};
    std::map<std::string, std::string> headers{};  // names in lower case

    static constexpr auto jsonFields = std::tuple{json::field("connection", &RecordedRequest::connection),
                                                  json::field("method", &RecordedRequest::method),
                                                  json::field("target", &RecordedRequest::target),
                                                  json::field("path", &RecordedRequest::path),
                                                  json::field("query", &RecordedRequest::query),
                                                  json::field("form", &RecordedRequest::form),
                                                  json::field("headers", &RecordedRequest::headers)};
};

// Every request received, in arrival order. Thread-safe.
class RequestLog {
public:
    void add(RecordedRequest request);
    std::vector<RecordedRequest> requests() const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::vector<RecordedRequest> requests_;
};

}  // namespace fenk
