#include "FenkSDK/engagement/VideoPage.h"

#include "FenkSDK/api/WellFormedUrl.h"
#include "FenkSDK/ports/Http.h"
#include "FenkSDK/runtime/Console.h"
#include "FenkSDK/runtime/Utf8.h"
#include "FenkSDK/ui/PlayerId.h"

#include <array>
#include <utility>

namespace fenk {
namespace {

// In lower case; the page is compared ignoring case.
constexpr std::array<std::string_view, 5> kIdPrefixes{"v/", "be/", "?v=", "&v=", "embed/"};

char asciiLower(char character) {
    return character >= 'A' && character <= 'Z' ? static_cast<char>(character - 'A' + 'a') : character;
}

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix) {
    if (suffix.size() > text.size()) return false;
    const auto tail = text.substr(text.size() - suffix.size());
    for (std::size_t index = 0; index < suffix.size(); ++index) {
        if (asciiLower(tail[index]) != suffix[index]) return false;
    }
    return true;
}

bool followsIdPrefix(std::string_view page, std::size_t position) {
    const auto before = page.substr(0, position);
    for (const auto prefix : kIdPrefixes) {
        if (endsWithIgnoringCase(before, prefix)) return true;
    }
    return false;
}

}  // namespace

void resolveVideoPage(Http& http, const std::string& link,
                      std::function<void(std::optional<std::string> page)> completion) {
    if (!isWellFormedUrl(link)) {
        Console::print("Unable to load the video page: the link is not an http or https address");
        completion(std::nullopt);
        return;
    }
    http.send(getRequest(link, kVideoPageTimeout, kMaxVideoPageBytes),
              [completion = std::move(completion)](std::optional<Data> body, std::optional<HttpResponse>,
                                                   std::optional<HttpError>) {
                  if (!body) return completion(std::string());
                  if (!isValidUtf8(asText(*body))) {
                      return completion(std::nullopt);
                  }
                  completion(std::string(asText(*body)));
              });
}

std::string extractVideoId(std::string_view page) {
    for (std::size_t start = 0; start < page.size(); ++start) {
        // A prefix with no id character after it names nothing; the scan goes on past it. Any byte outside the
        // alphabet, a non-ASCII letter's included, ends an id.
        if (!isPlayerIdCharacter(page[start]) || !followsIdPrefix(page, start)) continue;
        auto end = start;
        while (end < page.size() && isPlayerIdCharacter(page[end])) ++end;
        return std::string(page.substr(start, end - start));
    }
    return {};
}

}  // namespace fenk
