#pragma once

#include "FenkSDK/UserDefault.h"
#include "FenkSDK/places/FenkCandidateStay.h"

#include <optional>

namespace fenk {

class Preferences;

// The candidate map in the settings store, one JSON document under FENK_CANDIDATE_STAYS.
class CandidateStayStore {
public:
    explicit CandidateStayStore(Preferences& preferences);

    // None when nothing is stored, or what is stored is not a document that decodes.
    std::optional<CandidateStayMap> load() const;
    // Stores the whole map and flushes the store; a map that cannot be encoded leaves the stored one as it was.
    void save(const CandidateStayMap& candidates);

private:
    Preferences& preferences_;
    UserDefault defaults_;
};

}  // namespace fenk
