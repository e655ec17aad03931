// When GLU cannot make a quadric, the watch is drawn without its disks and cylinders and with
// everything else.
#include "tests/scene/scene_view.h"

// Stands in for GLU's own, at the link seam, as if it had run out of memory.
GLUquadric* GLAPIENTRY gluNewQuadric() {
    return nullptr;
}

namespace {

using NoQuadricTest = SceneTest;

TEST_F(NoQuadricTest, DrawsEverythingButTheDisksAndCylinders) {
    ASSERT_EQ(Quadric, nullptr);
    fake::SetLocalTime(3, 0, 0);
    Pose(0.0f, 0.0f);
    const Capture closed = CaptureFrame(View{});
    EXPECT_TRUE(Has(closed, 4.0, 0.0, 0.4)) << "hour hand";
    EXPECT_TRUE(Has(closed, 0.0, 0.02, 0.814 + 2.145 * 0.153543)) << "glass";
    EXPECT_FALSE(Has(closed, 0.0, 0.0, 0.3)) << "no dial disk";
    EXPECT_TRUE(HasCorner(closed, [](const Corner& c) { return std::hypot(c.x, c.y) > 7.6; }))
        << "case";

    PressKeys("CW");
    Pose(20.0f, 180.0f);
    const Capture open = CaptureFrame(View{20.0, 180.0, 0.0, -2.5, -34.0, true});
    // The 32-tooth wheel's first tooth at its start angle, -40 degrees, but no arbors.
    const double a = (-40.0 + 90.0 / 32) * M_PI / 180.0;
    EXPECT_TRUE(Has(open, 3.15 * std::cos(a), 3.15 * std::sin(a), 0.15)) << "gear teeth";
    EXPECT_FALSE(HasOnCircle(open, 0.0, 0.0, 0.15, 0.6)) << "no arbor";
}

} // namespace
