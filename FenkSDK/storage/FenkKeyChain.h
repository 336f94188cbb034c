#pragma once

#include "FenkSDK/ports/SecureStore.h"
#include "FenkSDK/runtime/Data.h"

#include <optional>
#include <string_view>

namespace fenk {

// Every account of the secure store, named after the account itself.
namespace keychainAccounts {
inline constexpr std::string_view kComTarvelFenk = "com.tarvel.Fenk";          // the device id, UTF-8 text
inline constexpr std::string_view kFenkStoredPositions = "FenkStoredPositions";  // JSON: cell -> relevant place
}  // namespace keychainAccounts

// The secure items of the SDK, one byte buffer per key.
class FenkKeyChain {
public:
    explicit FenkKeyChain(SecureStore& store) : store_(store) {}

    std::optional<Data> load(std::string_view key) const;
    // Whether an item may be under the key, even one that cannot be read now.
    bool contains(std::string_view key) const;
    // Replaces any item under the key; answers whether the new one was stored. A failed write leaves the
    // previous item as it was.
    bool save(std::string_view key, const Data& data);

private:
    SecureStore& store_;
};

}  // namespace fenk
