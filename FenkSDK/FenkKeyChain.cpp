#include "FenkSDK/FenkKeyChain.h"

namespace fenk {

std::optional<Data> FenkKeyChain::load(std::string_view key) const { return store_.load(key); }

bool FenkKeyChain::save(std::string_view key, const Data& data) {
    // The store replaces an item in one step; deleting first would leave no item should the process die
    // between the two. A failed write still leaves no item, as a delete followed by a failed add would.
    if (store_.save(key, data)) return true;
    store_.remove(key);
    return false;
}

}  // namespace fenk
