#pragma once

#include "FenkSDK/ports/SecureStore.h"

#include <map>
#include <mutex>
#include <string>

namespace fenk {

// Secrets kept in memory, for tests. failNextWrite() makes the next save report failure and change nothing;
// failReads() makes every item unreadable until called again with false.
class MemorySecureStore final : public SecureStore {
public:
    std::optional<Data> load(std::string_view account) const override;
    bool contains(std::string_view account) const override;
    bool save(std::string_view account, const Data& data) override;
    void remove(std::string_view account) override;

    void failNextWrite();
    void failReads(bool failing = true);

private:
    mutable std::mutex mutex_;
    std::map<std::string, Data, std::less<>> items_;
    bool failNextWrite_ = false;
    bool failReads_ = false;
};

}  // namespace fenk
