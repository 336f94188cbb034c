#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fenk::json {

// UnsignedInteger holds only integers above the signed 64-bit range; Real any number with a fraction or exponent.
enum class JsonKind : std::uint8_t { Null, Boolean, Integer, UnsignedInteger, Real, String, Array, Object };

// One value of a parsed document, laid out flat: a container is followed by its whole subtree, so the next
// sibling is always `span` nodes further on.
struct JsonNode {
    union Scalar {
        bool boolean;
        std::int64_t integer;
        std::uint64_t unsignedInteger;
        double real;
    };

    JsonKind kind = JsonKind::Null;
    std::uint32_t span = 1;
    std::uint32_t size = 0;  // elements or members of a container
    std::string_view key;    // member name when the parent is an object
    std::string_view text;   // string value
    Scalar scalar{};         // the member named by `kind`
};

class JsonValue;

// Iterates the children of an array or object in document order.
class JsonChildren {
public:
    class Iterator {
    public:
        explicit Iterator(const JsonNode* node) : node_(node) {}
        JsonValue operator*() const;
        Iterator& operator++() {
            node_ += node_->span;
            return *this;
        }
        bool operator==(const Iterator&) const = default;

    private:
        const JsonNode* node_;
    };

    JsonChildren(const JsonNode* first, const JsonNode* last) : first_(first), last_(last) {}
    Iterator begin() const { return Iterator(first_); }
    Iterator end() const { return Iterator(last_); }

private:
    const JsonNode* first_;
    const JsonNode* last_;
};

// A read-only view of one value; valid while its document lives.
class JsonValue {
public:
    explicit JsonValue(const JsonNode& node) : node_(&node) {}

    JsonKind kind() const { return node_->kind; }
    bool isNull() const { return node_->kind == JsonKind::Null; }
    // The member name when this value sits in an object, otherwise empty.
    std::string_view key() const { return node_->key; }
    // Each accessor below is meaningful only for its own kind.
    bool boolean() const { return node_->scalar.boolean; }
    std::string_view text() const { return node_->text; }
    std::int64_t integer() const { return node_->scalar.integer; }
    std::uint64_t unsignedInteger() const { return node_->scalar.unsignedInteger; }
    double real() const { return node_->scalar.real; }
    // Elements of an array or members of an object (each member's name is its key()).
    JsonChildren children() const { return {node_ + 1, node_ + node_->span}; }
    std::size_t size() const { return node_->size; }

private:
    const JsonNode* node_;
};

inline JsonValue JsonChildren::Iterator::operator*() const { return JsonValue(*node_); }

// A parsed JSON text that owns its values and their unescaped text.
class JsonDocument {
public:
    // Parses strictly (valid UTF-8, nesting at most `maxDepth`); on failure explains why in `error`.
    static std::optional<JsonDocument> parse(std::string_view json, std::string& error);

    static constexpr std::size_t maxDepth = 256;

    JsonValue root() const { return JsonValue(nodes_.front()); }

private:
    JsonDocument() = default;

    friend class JsonDocumentBuilder;
    std::vector<JsonNode> nodes_;
    std::unique_ptr<char[]> text_;  // unescaped keys and strings; the nodes point into it
};

}  // namespace fenk::json
