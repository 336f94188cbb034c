#include "FenkSDK/places/RelevantPlaceStore.h"

#include "FenkSDK/runtime/Console.h"

#include <string>

namespace fenk {

RelevantPlaceStore::RelevantPlaceStore(SecureStore& store) : keyChain_(store) {}

std::optional<RelevantPlaceMap> RelevantPlaceStore::load() const {
    const std::optional<Data> data = keyChain_.load(keychainAccounts::kFenkStoredPositions);
    if (!data) {
        if (keyChain_.contains(keychainAccounts::kFenkStoredPositions)) return std::nullopt;
        return RelevantPlaceMap{};
    }
    std::string error;
    std::optional<RelevantPlaceMap> places = json::decode<RelevantPlaceMap>(asText(*data), &error);
    if (!places) {
        Console::print("Fenk: the relevant places cannot be decoded: " + error);
        return RelevantPlaceMap{};
    }
    return places;
}

void RelevantPlaceStore::save(const RelevantPlaceMap& places) {
    const std::optional<std::string> encoded = json::encode(places);
    if (!encoded) {
        Console::print("Fenk: the relevant places cannot be encoded: a value is not valid JSON");
        return;
    }
    keyChain_.save(keychainAccounts::kFenkStoredPositions, toData(*encoded));
}

}  // namespace fenk
