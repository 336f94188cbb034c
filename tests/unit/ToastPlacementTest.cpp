#include "FenkSDK/ui/ToastPlacement.h"

#include <gtest/gtest.h>

namespace fenk {
namespace {

// A toast 60 high in a 400 x 800 window whose bars cover 20 at the top and 30 at the bottom.
TEST(ToastPlacementTest, CentreKeepsClearOfTheBarsAndOnePaddingFromTheEdge) {
    FenkToastStyle style;
    style.verticalPadding = 12;
    const struct {
        FenkToastPosition position;
        double y;
    } cases[] = {
        {FenkToastPosition::top, 12 + 20 + 30},
        {FenkToastPosition::center, 400},
        {FenkToastPosition::bottom, 800 - 30 - (12 + 30)},
    };
    for (const auto& row : cases) {
        const Point centre = toastCentre(row.position, {400, 800}, 60, {20, 30}, style);
        EXPECT_DOUBLE_EQ(centre.x, 200) << static_cast<int>(row.position);
        EXPECT_DOUBLE_EQ(centre.y, row.y) << static_cast<int>(row.position);
    }
}

}  // namespace
}  // namespace fenk
