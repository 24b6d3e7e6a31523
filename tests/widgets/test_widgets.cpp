#include <gtest/gtest.h>

#include "widgets/twipsgeometry.h"

using namespace promemo;

namespace {

// Boxes that touch in twips touch in pixels, whatever the rounding of their sizes.
TEST(TwipsRect, RoundsTheEdgesSoTouchingBoxesStillTouch)
{
    EXPECT_EQ(std::pair(twipsRect({0, 0, 1000, 375}), twipsRect({1000, 0, 1000, 375})),
              std::pair(QRect(0, 0, 67, 25), QRect(67, 0, 66, 25)));
}

} // namespace
