#pragma once

#include <optional>
#include <string>
#include <tuple>
#include <type_traits>

#include "FenkSDK/api/FG_Paging.h"
#include "FenkSDK/json/RecordCodec.h"

namespace fenk {

// Stands in for the `ticket` of replies that carry none: it takes no room and is never read or written.
struct NoTicket {};

// The envelope every service reply comes in. "OK" in `response` means success; `data` is the service's
// payload. Only the anonymous-user creation reply also carries a `ticket` (see ParametersOutWithTicket);
// elsewhere the member is a NoTicket so that reading it does not compile.
template <class DataT, bool hasTicket = false>
struct ParametersOut {
    using Ticket = std::conditional_t<hasTicket, std::optional<std::string>, NoTicket>;

    std::optional<std::string> response{};
    std::optional<std::string> messageCode{};
    std::optional<std::string> message{};
    std::optional<std::string> type{};
    [[no_unique_address]] Ticket ticket{};
    std::optional<FG_Paging> paging{};
    std::optional<DataT> data{};

    static constexpr auto jsonFields = [] {
        const auto head = std::tuple{json::field("response", &ParametersOut::response),
                                     json::field("messageCode", &ParametersOut::messageCode),
                                     json::field("message", &ParametersOut::message),
                                     json::field("type", &ParametersOut::type)};
        const auto tail = std::tuple{json::field("paging", &ParametersOut::paging),
                                     json::field("data", &ParametersOut::data)};
        if constexpr (hasTicket) {
            return std::tuple_cat(head, std::tuple{json::field("ticket", &ParametersOut::ticket)}, tail);
        } else {
            return std::tuple_cat(head, tail);
        }
    }();
};

template <class DataT>
using ParametersOutWithTicket = ParametersOut<DataT, true>;

}  // namespace fenk
