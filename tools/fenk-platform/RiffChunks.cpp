#include "tools/fenk-platform/RiffChunks.h"

#include <cstdint>

#include "tools/fenk-platform/LittleEndian.h"

namespace fenk {

void appendRiffChunk(std::string& out, std::string_view code, std::string_view data) {
    out.append(code);
    appendLittleEndian32(out, static_cast<std::uint32_t>(data.size()));
    out.append(data);
    if (data.size() % 2 != 0) out.push_back('\0');
}

std::string riffChunk(std::string_view code, std::string_view data) {
    std::string chunk;
    chunk.reserve(data.size() + 9);
    appendRiffChunk(chunk, code, data);
    return chunk;
}

std::string riffList(std::string_view code, std::string_view listCode, std::string_view chunks) {
    std::string data;
    data.reserve(listCode.size() + chunks.size());
    data.append(listCode).append(chunks);
    return riffChunk(code, data);
}

}  // namespace fenk
