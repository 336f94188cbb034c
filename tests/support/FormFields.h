#pragma once

#include "FenkSDK/runtime/Data.h"

#include <map>
#include <string>
#include <string_view>

namespace fenk::test {

// The fields of an application/x-www-form-urlencoded body, decoded.
inline std::map<std::string, std::string> formFields(const Data& body) {
    const auto decode = [](std::string_view text) {
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '+') {
                out += ' ';
            } else if (text[i] == '%' && i + 2 < text.size()) {
                out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
                i += 2;
            } else {
                out += text[i];
            }
        }
        return out;
    };
    std::map<std::string, std::string> fields;
    std::string_view rest = asText(body);
    while (!rest.empty()) {
        const auto pair = rest.substr(0, rest.find('&'));
        rest.remove_prefix(std::min(rest.size(), pair.size() + 1));
        const auto equals = pair.find('=');
        fields[decode(pair.substr(0, equals))] = equals == std::string_view::npos ? "" : decode(pair.substr(equals + 1));
    }
    return fields;
}

}  // namespace fenk::test
