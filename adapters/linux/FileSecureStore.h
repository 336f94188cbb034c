#pragma once

#include "FenkSDK/ports/SecureStore.h"

#include <filesystem>
#include <string>

namespace fenk {

// Secrets kept one file per account in a folder readable by the user only (0700, files 0600). The account
// name is percent-encoded into the file name, so no name can reach outside the folder. A save writes a
// temporary file, flushes it and renames it over the old one, so a crash leaves the old or the new secret; once
// renamed, the save has succeeded even if the folder cannot be flushed afterwards.
class FileSecureStore final : public SecureStore {
public:
    explicit FileSecureStore(std::filesystem::path folder);

    std::optional<Data> load(std::string_view account) const override;
    bool contains(std::string_view account) const override;
    bool save(std::string_view account, const Data& data) override;
    void remove(std::string_view account) override;

private:
    std::filesystem::path itemPath(std::string_view account) const;

    const std::filesystem::path folder_;
};

}  // namespace fenk
