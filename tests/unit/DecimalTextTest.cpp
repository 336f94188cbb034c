#include "FenkSDK/runtime/DecimalText.h"

#include "support/CommaLocale.h"

#include <gtest/gtest.h>

#include <limits>

namespace fenk {
namespace {

TEST(DecimalText, RoundsLikePrintfAndNeverFollowsTheLocale) {
    const test::CommaLocale comma;
    struct Row {
        double value;
        int decimals;
        const char* expected;
    };
    for (const Row& row : {Row{0.5, 0, "0"}, Row{1.5, 0, "2"}, Row{2.5, 0, "2"}, Row{-0.4, 0, "-0"},
                           Row{-1.0, 0, "-1"}, Row{65.9, 0, "66"}, Row{1.5, 6, "1.500000"},
                           Row{40.416775, 6, "40.416775"}, Row{-3.7037902, 6, "-3.703790"},
                           Row{1e20, 0, "100000000000000000000"}}) {
        EXPECT_EQ(fixedDecimals(row.value, row.decimals), row.expected) << row.value;
    }
    EXPECT_EQ(fixedDecimals(std::numeric_limits<double>::infinity(), 0), "inf");
}

TEST(DecimalText, ShortestTextReadsBackWithAPointAfterWholeNumbers) {
    const test::CommaLocale comma;
    struct Row {
        double value;
        const char* expected;
    };
    for (const Row& row : {Row{40.0, "40.0"}, Row{-3.0, "-3.0"}, Row{0.0, "0.0"}, Row{40.416775, "40.416775"},
                           Row{0.1, "0.1"}, Row{-3.7037902, "-3.7037902"}}) {
        EXPECT_EQ(shortestDecimal(row.value), row.expected);
    }
}

}  // namespace
}  // namespace fenk
