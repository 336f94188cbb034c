#pragma once

#include "FenkSDK/runtime/Data.h"

#include <optional>
#include <string_view>

namespace fenk {

// Secret byte buffers kept for the application, one per account name. Any text is a valid account name.
// Safe to use from any thread.
class SecureStore {
public:
    virtual ~SecureStore() = default;

    // None when the account holds nothing or cannot be read.
    virtual std::optional<Data> load(std::string_view account) const = 0;
    // Whether the account may hold an item, even one load() cannot read now (no descriptor left, no
    // permission): such an item must not be taken for a missing one and replaced.
    virtual bool contains(std::string_view account) const = 0;
    // Replaces the account's buffer as a whole; answers whether the new buffer was committed.
    virtual bool save(std::string_view account, const Data& data) = 0;
    // Removing an absent account does nothing.
    virtual void remove(std::string_view account) = 0;
};

}  // namespace fenk
