#include "FenkSDK/api/ServiceAddress.h"

namespace fenk {

std::string baseAddress(const FG_Authenticate& record) {
    return record.platform.value_or("") + "/" + record.version.value_or("") + "/";
}

std::optional<std::string> serviceAddress(const std::optional<FG_Authenticate>& record, std::string_view path) {
    if (!record || !record->platform || !record->api) return std::nullopt;
    return baseAddress(*record) + "json/exec/" + *record->api + std::string(path);
}

}  // namespace fenk
