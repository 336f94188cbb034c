#pragma once

#include <string>
#include <string_view>

namespace fenk {

// The chunks of a RIFF file (AVI, WAV): a four-letter code, a 32-bit little-endian length and the data,
// padded to an even length.
void appendRiffChunk(std::string& out, std::string_view code, std::string_view data);
std::string riffChunk(std::string_view code, std::string_view data);
// A chunk that holds other chunks: "RIFF" or "LIST", then the list's own code, then `chunks`.
std::string riffList(std::string_view code, std::string_view listCode, std::string_view chunks);

}  // namespace fenk
