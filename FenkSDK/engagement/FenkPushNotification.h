#pragma once

#include "FenkSDK/json/RecordCodec.h"

#include <optional>
#include <string>
#include <tuple>

namespace fenk {

struct Alert {
    std::optional<std::string> body{};

    static constexpr auto jsonFields = std::tuple{json::field("body", &Alert::body)};
};

// The system's notification block of a push payload; only the alert's text is read.
struct Aps {
    std::optional<Alert> alert{};

    static constexpr auto jsonFields = std::tuple{json::field("alert", &Aps::alert)};
};

// The content a push payload carries: its type picks how it is shown, the links what is shown.
struct FenkPushNotification {
    std::optional<Aps> aps{};
    std::optional<std::string> gType{};
    std::optional<std::string> gSource{};
    std::optional<std::string> gSourceVideo{};
    std::optional<std::string> gSourceAudio{};
    std::optional<std::string> gSourceImagePortrait{};
    std::optional<std::string> gSourceImageLandscape{};
    std::optional<std::string> gTarget{};

    static constexpr auto jsonFields = std::tuple{
        json::field("aps", &FenkPushNotification::aps),
        json::field("gType", &FenkPushNotification::gType),
        json::field("gSource", &FenkPushNotification::gSource),
        json::field("gSourceVideo", &FenkPushNotification::gSourceVideo),
        json::field("gSourceAudio", &FenkPushNotification::gSourceAudio),
        json::field("gSourceImagePortrait", &FenkPushNotification::gSourceImagePortrait),
        json::field("gSourceImageLandscape", &FenkPushNotification::gSourceImageLandscape),
        json::field("gTarget", &FenkPushNotification::gTarget),
    };
};

}  // namespace fenk
