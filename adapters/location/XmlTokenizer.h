#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fenk {

struct XmlAttribute {
    std::string name;  // local name: the namespace prefix is dropped
    std::string value;
};

struct XmlToken {
    enum class Kind { startTag, endTag, text, end, error };
    Kind kind{Kind::end};
    std::string name;  // local name of a tag
    std::vector<XmlAttribute> attributes;
    std::string text;  // decoded character data, or what went wrong
    std::size_t line{};
};

// A strict pull tokenizer for the XML that traces are written in: elements, attributes, character data,
// the five named entities and numeric ones, comments, CDATA and processing instructions. It checks that
// tags nest and close, and refuses document type declarations (their entities could expand without bound)
// and nesting deeper than the given depth. It never recurses, so garbage costs linear time. A self-closing
// element yields a start tag then an end tag. After an error or the end it keeps returning the same.
class XmlTokenizer {
public:
    explicit XmlTokenizer(std::string_view document, std::size_t maxDepth = 64) : rest_(document), maxDepth_(maxDepth) {}

    XmlToken next();

private:
    std::optional<XmlToken> markup();  // nothing for a comment or processing instruction
    XmlToken startTag();
    XmlToken endTag();
    XmlToken characterData();
    std::optional<XmlToken> skipPast(std::string_view terminator, std::string_view what);
    XmlToken fail(std::string message);
    XmlToken token(XmlToken::Kind kind, std::string name = {});
    std::string_view takeName();
    void skipSpace();
    void advance(std::size_t count);

    std::string_view rest_;
    std::size_t maxDepth_;
    std::size_t line_{1};
    std::vector<std::string> open_;
    bool rootClosed_{false};
    bool pendingEnd_{false};
    XmlToken final_;
    bool finished_{false};
};

}  // namespace fenk
