#pragma once

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace fenk {

// The named values of one platform request, in the order they were added: that order is the order on the
// wire, so a request is reproducible byte for byte.
using RequestParameters = std::vector<std::pair<std::string, std::string>>;

// Replaces the value of an existing name in place, or appends the pair: a name travels at most once.
inline void setParameter(RequestParameters& parameters, std::string name, std::string value) {
    const auto existing =
        std::find_if(parameters.begin(), parameters.end(), [&](const auto& pair) { return pair.first == name; });
    if (existing != parameters.end()) {
        existing->second = std::move(value);
    } else {
        parameters.emplace_back(std::move(name), std::move(value));
    }
}

}  // namespace fenk
