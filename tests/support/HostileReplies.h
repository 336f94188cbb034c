#pragma once

#include "support/RawReplyServer.h"

#include <httplib.h>

#include <algorithm>
#include <cstddef>
#include <string>

namespace fenk {

// `size` bytes of JSON whitespace, gzip-encoded: a thousandfold smaller on the wire than once decoded.
inline std::string gzippedSpaces(std::size_t size) {
    std::string encoded;
    httplib::detail::gzip_compressor compressor;
    const std::string piece(64 * 1024, ' ');
    for (std::size_t done = 0; done < size; done += piece.size()) {
        const std::size_t length = std::min(piece.size(), size - done);
        compressor.compress(piece.data(), length, done + length == size, [&](const char* data, std::size_t count) {
            encoded.append(data, count);
            return true;
        });
    }
    return encoded;
}

// The same bytes for every request.
inline RawReplyServer::Writer fixedReply(std::string bytes) {
    return [bytes = std::move(bytes)](const RawReplyServer::Send& send) { send(bytes); };
}

// A reply of status 200 with `body`, its length announced after the other `headers`.
inline RawReplyServer::Writer replyWithBody(const std::string& headers, const std::string& body) {
    return fixedReply(RawReplyServer::head(headers + "Content-Length: " + std::to_string(body.size()) + "\r\n") + body);
}

// A body without a length that goes on until the client leaves, or `size` bytes have gone.
inline RawReplyServer::Writer endlessBody(std::size_t size) {
    return [size](const RawReplyServer::Send& send) {
        const std::string piece(1024 * 1024, ' ');
        if (!send(RawReplyServer::head(""))) return;
        for (std::size_t sent = 0; sent < size && send(piece); sent += piece.size()) {
        }
    };
}

}  // namespace fenk
