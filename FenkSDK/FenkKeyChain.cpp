#include "FenkSDK/FenkKeyChain.h"

namespace fenk {

std::optional<Data> FenkKeyChain::load(std::string_view key) const { return store_.load(key); }

bool FenkKeyChain::save(std::string_view key, const Data& data) {
    store_.remove(key);
    return store_.save(key, data);
}

}  // namespace fenk
