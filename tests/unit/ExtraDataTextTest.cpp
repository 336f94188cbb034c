#include "FenkSDK/engagement/ExtraDataText.h"

#include <gtest/gtest.h>

namespace fenk {
namespace {

TEST(ExtraDataText, LaterPairsWinAndPairsWithoutAColonAreSkipped) {
    const struct {
        std::optional<std::string> text;
        RequestParameters fields;
    } cases[] = {
        {"a:1,b:2,a:3", {{"a", "3"}, {"b", "2"}}},
        {std::nullopt, {}},
        {"", {}},
        {"a:b:c", {{"a", "b"}}},
        {"a:1,stray,,b:2", {{"a", "1"}, {"b", "2"}}},
        {" a : 1 ,b:", {{" a ", " 1 "}, {"b", ""}}},
    };
    for (const auto& [text, fields] : cases) {
        EXPECT_EQ(extraDataFields(text), fields) << text.value_or("(absent)");
    }
}

}  // namespace
}  // namespace fenk
