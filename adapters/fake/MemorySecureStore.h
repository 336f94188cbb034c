#pragma once

#include "FenkSDK/ports/SecureStore.h"

#include <map>
#include <mutex>
#include <string>

namespace fenk {

// Secrets kept in memory, for tests. failNextWrite() makes the next save report failure and change nothing.
class MemorySecureStore final : public SecureStore {
public:
    std::optional<Data> load(std::string_view account) const override;
    bool save(std::string_view account, const Data& data) override;
    void remove(std::string_view account) override;

    void failNextWrite();

private:
    mutable std::mutex mutex_;
    std::map<std::string, Data, std::less<>> items_;
    bool failNextWrite_ = false;
};

}  // namespace fenk
