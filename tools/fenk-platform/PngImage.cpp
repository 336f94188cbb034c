#include "tools/fenk-platform/PngImage.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "tools/fenk-platform/LittleEndian.h"

namespace fenk {
namespace {

constexpr std::size_t kLongestStoredBlock = 65'535;
constexpr std::string_view kSignature{"\x89PNG\r\n\x1a\n", 8};

constexpr std::array<std::uint32_t, 256> kCrcTable = [] {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < table.size(); ++n) {
        std::uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit) c = (c & 1U) != 0 ? 0xEDB8'8320U ^ (c >> 1U) : c >> 1U;
        table[n] = c;
    }
    return table;
}();

std::uint32_t crc32(std::string_view bytes) {
    std::uint32_t c = 0xFFFF'FFFFU;
    for (const char byte : bytes) c = kCrcTable[(c ^ static_cast<std::uint8_t>(byte)) & 0xFFU] ^ (c >> 8U);
    return c ^ 0xFFFF'FFFFU;
}

std::uint32_t adler32(std::string_view bytes) {
    constexpr std::uint32_t modulus = 65'521;
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const char byte : bytes) {
        a = (a + static_cast<std::uint8_t>(byte)) % modulus;
        b = (b + a) % modulus;
    }
    return (b << 16U) | a;
}

void appendBigEndian(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((value >> shift) & 0xFFU));
}

void appendChunk(std::string& out, std::string_view type, std::string_view data) {
    appendBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.append(type).append(data);
    appendBigEndian(out, crc32(std::string_view(out).substr(typeAt)));
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::string storedZlib(std::string_view raw) {
    std::string out{"\x78\x01", 2};
    std::size_t at = 0;
    do {
        const std::size_t length = std::min(kLongestStoredBlock, raw.size() - at);
        out.push_back(at + length == raw.size() ? '\x01' : '\x00');
        appendLittleEndian16(out, static_cast<std::uint32_t>(length));
        appendLittleEndian16(out, static_cast<std::uint32_t>(~length & 0xFFFFU));
        out.append(raw.substr(at, length));
        at += length;
    } while (at < raw.size());
    appendBigEndian(out, adler32(raw));
    return out;
}

}  // namespace

std::string encodeRgbPng(std::uint32_t width, std::uint32_t height, std::span<const std::uint8_t> pixels) {
    const std::size_t rowBytes = std::size_t{width} * 3;
    std::string raw;
    raw.reserve((rowBytes + 1) * height);
    for (std::size_t row = 0; row < height; ++row) {
        raw.push_back('\0');  // filter: none
        const auto line = pixels.subspan(row * rowBytes, rowBytes);
        raw.append(line.begin(), line.end());
    }
    std::string header;
    appendBigEndian(header, width);
    appendBigEndian(header, height);
    header.append({'\x08', '\x02', '\x00', '\x00', '\x00'});  // 8 bits, RGB, deflate, no filter, no interlace

    std::string png(kSignature);
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", storedZlib(raw));
    appendChunk(png, "IEND", {});
    return png;
}

}  // namespace fenk
