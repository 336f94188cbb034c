#include "adapters/location/XmlTokenizer.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace fenk {
namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Bytes from 0x80 up belong to UTF-8 names; the document's encoding is not checked beyond that.
bool isNameStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' ||
           static_cast<unsigned char>(c) >= 0x80;
}

bool isNameChar(char c) { return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }

std::string_view localName(std::string_view name) {
    const auto colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

bool isXmlChar(std::uint32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

void appendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::optional<std::uint32_t> characterReference(std::string_view digits) {
    const bool hex = !digits.empty() && digits.front() == 'x';
    if (hex) digits.remove_prefix(1);
    // Seven hexadecimal or decimal digits already pass the largest code point; more could overflow.
    if (digits.empty() || digits.size() > 7) return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : digits) {
        std::uint32_t digit{};
        if (c >= '0' && c <= '9') {
            digit = static_cast<std::uint32_t>(c - '0');
        } else if (hex && c >= 'a' && c <= 'f') {
            digit = static_cast<std::uint32_t>(c - 'a' + 10);
        } else if (hex && c >= 'A' && c <= 'F') {
            digit = static_cast<std::uint32_t>(c - 'A' + 10);
        } else {
            return std::nullopt;
        }
        value = value * (hex ? 16 : 10) + digit;
    }
    if (!isXmlChar(value)) return std::nullopt;
    return value;
}

// Appends `raw` with its entities replaced; false on an unknown or malformed one.
bool appendDecoded(std::string& out, std::string_view raw) {
    while (!raw.empty()) {
        const auto amp = raw.find('&');
        out.append(raw.substr(0, amp));
        if (amp == std::string_view::npos) return true;
        raw.remove_prefix(amp + 1);
        const auto semicolon = raw.find(';');
        if (semicolon == std::string_view::npos) return false;
        const std::string_view entity = raw.substr(0, semicolon);
        raw.remove_prefix(semicolon + 1);
        if (entity == "amp") {
            out += '&';
        } else if (entity == "lt") {
            out += '<';
        } else if (entity == "gt") {
            out += '>';
        } else if (entity == "quot") {
            out += '"';
        } else if (entity == "apos") {
            out += '\'';
        } else if (!entity.empty() && entity.front() == '#') {
            const auto c = characterReference(entity.substr(1));
            if (!c) return false;
            appendUtf8(out, *c);
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

XmlToken XmlTokenizer::next() {
    if (finished_) return final_;
    if (pendingEnd_) {
        pendingEnd_ = false;
        const std::string name = open_.back();
        open_.pop_back();
        rootClosed_ = open_.empty();
        return token(XmlToken::Kind::endTag, std::string(localName(name)));
    }
    // Comments and processing instructions yield nothing: loop past them rather than recurse.
    for (;;) {
        if (open_.empty()) skipSpace();
        if (rest_.empty()) {
            if (!open_.empty()) return fail("the file ends inside <" + open_.back() + ">");
            if (!rootClosed_) return fail("no root element");
            finished_ = true;
            final_ = token(XmlToken::Kind::end);
            return final_;
        }
        if (rest_.front() != '<') return characterData();
        if (auto tag = markup()) return std::move(*tag);
    }
}

std::optional<XmlToken> XmlTokenizer::markup() {
    if (rest_.starts_with("<?")) return skipPast("?>", "processing instruction");
    if (rest_.starts_with("<!--")) return skipPast("-->", "comment");
    if (rest_.starts_with("<![CDATA[")) {
        if (open_.empty()) return fail("character data outside the root element");
        advance(9);
        const auto end = rest_.find("]]>");
        if (end == std::string_view::npos) return fail("unterminated CDATA section");
        XmlToken cdata = token(XmlToken::Kind::text);
        cdata.text = std::string(rest_.substr(0, end));
        advance(end + 3);
        return cdata;
    }
    if (rest_.starts_with("<!")) return fail("document type declarations are not supported");
    if (rest_.starts_with("</")) return endTag();
    return startTag();
}

XmlToken XmlTokenizer::startTag() {
    if (rootClosed_) return fail("a second root element");
    if (open_.size() >= maxDepth_) return fail("elements nested deeper than " + std::to_string(maxDepth_));
    const std::size_t line = line_;
    advance(1);
    const std::string_view name = takeName();
    if (name.empty()) return fail("bad element name");
    XmlToken tag = token(XmlToken::Kind::startTag, std::string(localName(name)));
    tag.line = line;
    for (;;) {
        const bool spaced = !rest_.empty() && isSpace(rest_.front());
        skipSpace();
        if (rest_.starts_with("/>")) {
            advance(2);
            pendingEnd_ = true;
            break;
        }
        if (rest_.starts_with(">")) {
            advance(1);
            break;
        }
        const std::string_view attribute = takeName();
        if (attribute.empty() || !spaced) return fail("bad attribute in <" + std::string(name) + ">");
        skipSpace();
        if (!rest_.starts_with("=")) return fail("attribute " + std::string(attribute) + " has no value");
        advance(1);
        skipSpace();
        const char quote = rest_.empty() ? '\0' : rest_.front();
        if (quote != '"' && quote != '\'') return fail("attribute " + std::string(attribute) + " is not quoted");
        advance(1);
        const auto end = rest_.find(quote);
        if (end == std::string_view::npos) return fail("unterminated attribute " + std::string(attribute));
        const std::string_view raw = rest_.substr(0, end);
        XmlAttribute decoded{std::string(localName(attribute)), {}};
        if (raw.find('<') != std::string_view::npos || !appendDecoded(decoded.value, raw)) {
            return fail("bad value of attribute " + std::string(attribute));
        }
        advance(end + 1);
        tag.attributes.push_back(std::move(decoded));
    }
    open_.emplace_back(name);
    return tag;
}

XmlToken XmlTokenizer::endTag() {
    advance(2);
    const std::string_view name = takeName();
    skipSpace();
    if (name.empty() || !rest_.starts_with(">")) return fail("bad end tag");
    if (open_.empty() || open_.back() != name) {
        return fail("</" + std::string(name) + "> closes nothing that is open");
    }
    advance(1);
    open_.pop_back();
    rootClosed_ = open_.empty();
    return token(XmlToken::Kind::endTag, std::string(localName(name)));
}

XmlToken XmlTokenizer::characterData() {
    if (open_.empty()) return fail("text outside the root element");
    const auto end = std::min(rest_.find('<'), rest_.size());
    XmlToken text = token(XmlToken::Kind::text);
    if (!appendDecoded(text.text, rest_.substr(0, end))) return fail("bad entity reference");
    advance(end);
    return text;
}

std::optional<XmlToken> XmlTokenizer::skipPast(std::string_view terminator, std::string_view what) {
    const auto end = rest_.find(terminator);
    if (end == std::string_view::npos) return fail("unterminated " + std::string(what));
    advance(end + terminator.size());
    return std::nullopt;
}

XmlToken XmlTokenizer::fail(std::string message) {
    finished_ = true;
    final_ = token(XmlToken::Kind::error);
    final_.text = std::move(message);
    return final_;
}

XmlToken XmlTokenizer::token(XmlToken::Kind kind, std::string name) {
    XmlToken result;
    result.kind = kind;
    result.name = std::move(name);
    result.line = line_;
    return result;
}

std::string_view XmlTokenizer::takeName() {
    if (rest_.empty() || !isNameStart(rest_.front())) return {};
    std::size_t length = 1;
    while (length < rest_.size() && isNameChar(rest_[length])) ++length;
    const std::string_view name = rest_.substr(0, length);
    advance(length);
    return name;
}

void XmlTokenizer::skipSpace() {
    std::size_t count = 0;
    while (count < rest_.size() && isSpace(rest_[count])) ++count;
    advance(count);
}

void XmlTokenizer::advance(std::size_t count) {
    line_ += static_cast<std::size_t>(std::count(rest_.begin(), rest_.begin() + static_cast<std::ptrdiff_t>(count), '\n'));
    rest_.remove_prefix(count);
}

}  // namespace fenk
