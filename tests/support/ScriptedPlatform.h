#pragma once

#include "adapters/fake/FakeHttp.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace fenk {

// Replies by service: the first entry whose name occurs in the request's address answers; an entry without a
// reply leaves the request to time out. Behind the overrides stands a platform that knows the user "user-1".
using PlatformScript = std::vector<std::pair<std::string, std::optional<FakeHttpReply>>>;

inline FakeHttp::AutoReply scriptedPlatform(PlatformScript overrides = {}) {
    const PlatformScript healthy{
        {"auth/user",
         FakeHttpReply::text(R"({"response":"OK","authenticate":{"resourceId":"user-1","token":"fresh"}})")},
        {"user.info", FakeHttpReply::text(R"({"response":"OK","data":{"resourceId":"user-1"}})")},
        {"app-parameters", FakeHttpReply::text(R"({"response":"OK","data":[{"name":"userLegal","value":"x"}]})")},
        {"create-anonymous", FakeHttpReply::text(R"({"response":"OK","data":{"resourceId":"new-user"}})")},
        {"user.update", FakeHttpReply::text(R"({"response":"OK","data":[]})")}};
    overrides.insert(overrides.end(), healthy.begin(), healthy.end());
    return [script = std::move(overrides)](const HttpRequest& request) -> std::optional<FakeHttpReply> {
        for (const auto& [service, reply] : script) {
            if (request.url.find(service) != std::string::npos) return reply;
        }
        return std::nullopt;
    };
}

}  // namespace fenk
