#include "FenkSDK/places/CandidateStayStore.h"

namespace fenk {

CandidateStayStore::CandidateStayStore(Preferences& preferences) : preferences_(preferences), defaults_(preferences) {}

std::optional<CandidateStayMap> CandidateStayStore::load() const {
    return defaults_.loadRecord<CandidateStayMap>(settingsKeys::kFenkCandidateStays);
}

void CandidateStayStore::save(const CandidateStayMap& candidates) {
    if (defaults_.saveRecord(candidates, settingsKeys::kFenkCandidateStays)) preferences_.synchronize();
}

}  // namespace fenk
