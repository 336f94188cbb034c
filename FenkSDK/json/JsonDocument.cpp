#include "FenkSDK/json/JsonDocument.h"

#include <algorithm>
#include <simdjson.h>
#include <utility>

namespace fenk::json {

// Copies simdjson's parse into our own flat nodes, so that the templated codecs never see simdjson.
class JsonDocumentBuilder {
public:
    // Unescaped text is never longer than its escaped source, so `sourceSize` bytes hold all of it.
    explicit JsonDocumentBuilder(std::size_t sourceSize)
        : textEnd_((document_.text_ = std::make_unique_for_overwrite<char[]>(sourceSize)).get()) {
        document_.nodes_.reserve(sourceSize / 16 + 1);
    }

    void append(simdjson::dom::element element, std::string_view key) {
        const std::size_t index = document_.nodes_.size();
        std::uint32_t size = 0;
        JsonNode& node = document_.nodes_.emplace_back();
        node.key = keep(key);
        switch (element.type()) {
            case simdjson::dom::element_type::ARRAY:
                node.kind = JsonKind::Array;
                for (simdjson::dom::element child : simdjson::dom::array(element)) {
                    append(child, {});
                    ++size;
                }
                break;
            case simdjson::dom::element_type::OBJECT:
                node.kind = JsonKind::Object;
                for (simdjson::dom::key_value_pair member : simdjson::dom::object(element)) {
                    append(member.value, member.key);
                    ++size;
                }
                break;
            case simdjson::dom::element_type::STRING:
                node.kind = JsonKind::String;
                node.text = keep(element.get_string().value_unsafe());
                break;
            case simdjson::dom::element_type::INT64:
                node.kind = JsonKind::Integer;
                node.scalar.integer = element.get_int64().value_unsafe();
                break;
            case simdjson::dom::element_type::UINT64:
                node.kind = JsonKind::UnsignedInteger;
                node.scalar.unsignedInteger = element.get_uint64().value_unsafe();
                break;
            case simdjson::dom::element_type::DOUBLE:
                node.kind = JsonKind::Real;
                node.scalar.real = element.get_double().value_unsafe();
                break;
            case simdjson::dom::element_type::BOOL:
                node.kind = JsonKind::Boolean;
                node.scalar.boolean = element.get_bool().value_unsafe();
                break;
            case simdjson::dom::element_type::NULL_VALUE: node.kind = JsonKind::Null; break;
        }
        // `node` may dangle after the children were appended; reach it by index.
        JsonNode& finished = document_.nodes_[index];
        finished.span = static_cast<std::uint32_t>(document_.nodes_.size() - index);
        finished.size = size;
    }

    JsonDocument take() && { return std::move(document_); }

private:
    std::string_view keep(std::string_view text) {
        if (text.empty()) return {};
        const std::string_view kept(textEnd_, text.size());
        textEnd_ = std::copy(text.begin(), text.end(), textEnd_);
        return kept;
    }

    JsonDocument document_;
    char* textEnd_;
};

namespace {

// Documents up to this size reuse the thread's parser and padded copy, which then allocate nothing once
// warm. A larger one gets buffers of its own, released after it: the thread's would otherwise keep the
// size of the largest document it ever read for as long as the thread lives.
constexpr std::size_t kReusedCapacity = 64 * 1024;
constexpr std::size_t kInitialCapacity = 4096;  // the parser grows to each document it is given

std::optional<JsonDocument> parseWith(simdjson::dom::parser& parser, std::string& padded, std::string_view json,
                                      std::string& error) {
    if (parser.max_depth() != JsonDocument::maxDepth) {
        if (const simdjson::error_code code = parser.allocate(kInitialCapacity, JsonDocument::maxDepth)) {
            error = simdjson::error_message(code);
            return std::nullopt;
        }
    }
    padded.assign(json);
    padded.append(simdjson::SIMDJSON_PADDING, '\0');

    simdjson::dom::element root;
    if (const simdjson::error_code code = parser.parse(padded.data(), json.size(), false).get(root)) {
        error = "malformed JSON: ";
        error += simdjson::error_message(code);
        return std::nullopt;
    }
    JsonDocumentBuilder builder(json.size());
    builder.append(root, {});
    return std::move(builder).take();
}

}  // namespace

std::optional<JsonDocument> JsonDocument::parse(std::string_view json, std::string& error) {
    if (json.size() > kReusedCapacity) {
        simdjson::dom::parser parser;
        std::string padded;
        return parseWith(parser, padded, json, error);
    }
    thread_local simdjson::dom::parser parser;
    thread_local std::string padded;
    return parseWith(parser, padded, json, error);
}

}  // namespace fenk::json
