#include "FenkSDK/storage/FenkKeyChain.h"

namespace fenk {

std::optional<Data> FenkKeyChain::load(std::string_view key) const { return store_.load(key); }

bool FenkKeyChain::contains(std::string_view key) const { return store_.contains(key); }

bool FenkKeyChain::save(std::string_view key, const Data& data) {
    // The store replaces an item in one step, so nothing is deleted first (a process dying in between would
    // leave no item) nor after a failed write (the device id or the learned places would be lost).
    return store_.save(key, data);
}

}  // namespace fenk
