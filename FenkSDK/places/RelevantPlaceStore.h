#pragma once

#include "FenkSDK/places/FenkRelevantPlace.h"
#include "FenkSDK/storage/FenkKeyChain.h"

#include <optional>

namespace fenk {

class SecureStore;

// The relevant-place map in the secure store, one JSON document under the account FenkStoredPositions.
class RelevantPlaceStore {
public:
    explicit RelevantPlaceStore(SecureStore& store);

    // Empty when nothing is stored, or when what is stored does not decode (the reason goes to the console).
    // None when an item is there but cannot be read now: the places in it must not be overwritten.
    std::optional<RelevantPlaceMap> load() const;
    // Replaces the stored map; a map that cannot be encoded is reported and the stored one kept.
    void save(const RelevantPlaceMap& places);

private:
    FenkKeyChain keyChain_;
};

}  // namespace fenk
