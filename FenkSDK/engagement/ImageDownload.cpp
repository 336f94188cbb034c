#include "FenkSDK/engagement/ImageDownload.h"

#include "FenkSDK/api/WellFormedUrl.h"
#include "FenkSDK/engagement/ImageSignature.h"
#include "FenkSDK/ports/Http.h"
#include "FenkSDK/runtime/Console.h"

#include <utility>

namespace fenk {
namespace {

// Why a download gave no usable image; none when it gave one.
std::optional<std::string> imageFault(const std::optional<Data>& body, const std::optional<HttpResponse>& response,
                                      const std::optional<HttpError>& error) {
    if (error) return error->message;
    if (!response) return "no response";
    if (response->statusCode < 200 || response->statusCode > 299) {
        return "HTTP status " + std::to_string(response->statusCode);
    }
    if (!body || body->empty()) return "no data";
    const auto size = imagePixelSize(*body);
    if (!size) return "not a PNG, JPEG, GIF or WebP image";
    if (std::uint64_t{size->width} * size->height > kMaxImagePixels) {
        return "the image is too large (" + std::to_string(size->width) + "x" + std::to_string(size->height) +
               " pixels)";
    }
    return std::nullopt;
}

void reportImageFault(std::string_view reason) { Console::print("Unable to load data: " + std::string(reason)); }

}  // namespace

void downloadImage(Http& http, const std::string& link, ImageLimits limits,
                   std::function<void(std::optional<Data> image)> completion) {
    if (!isWellFormedUrl(link)) {
        reportImageFault("the image link is not an http or https address");
        completion(std::nullopt);
        return;
    }
    http.send(getRequest(link, limits.timeout, limits.maxBytes),
              [completion = std::move(completion)](std::optional<Data> body, std::optional<HttpResponse> response,
                                                   std::optional<HttpError> error) {
                  const auto fault = imageFault(body, response, error);
                  if (fault) reportImageFault(*fault);
                  completion(fault ? std::nullopt : std::move(body));
              });
}

}  // namespace fenk
