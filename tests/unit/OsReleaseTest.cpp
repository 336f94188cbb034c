#include "adapters/linux/OsRelease.h"

#include <gtest/gtest.h>

namespace fenk {
namespace {

TEST(OsReleaseTest, FindsTheVersionInShellStyleAssignments) {
    const struct {
        std::string text;
        std::optional<std::string> version;
    } cases[] = {
        {"NAME=\"Example OS\"\nVERSION_ID=\"12\"\nVERSION=\"12 (first)\"\n", "12"},
        {"VERSION=\"24.04 LTS (Spring)\"\n", "24.04 LTS (Spring)"},
        {"VERSION_ID=''\nVERSION='rolling'\n", "rolling"},
        {"  VERSION_ID = 3.19 \r\n", "3.19"},
        {"# VERSION_ID=9\n\nVERSION_ID=10\n", "10"},
        {"VERSION_ID=1\nVERSION_ID=2\n", "2"},
        {"VERSION=\"say \\\"hi\\\" \\n\"", "say \"hi\" \\n"},
        {"VERSION_ID=\"7\nVERSION=7 beta", "7"},  // an open quote spoils only its own line
        {"VERSION_IDX=1\nMY_VERSION=2\nVERSION", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [text, version] : cases) EXPECT_EQ(osReleaseVersion(text), version) << text;
}

}  // namespace
}  // namespace fenk
