// Without a quadric the watch still draws everything but its disks and cylinders.
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
    PressKeys("W"); // the gears show through the outlined case
    Pose(0.0f, 0.0f);
    const Capture capture = CaptureFrame(View{});
    EXPECT_TRUE(Has(capture, 4.0, 0.0, 0.4)) << "hour hand";
    EXPECT_FALSE(Has(capture, 0.0, 0.0, 0.3)) << "no dial disk";
    // The 32-tooth wheel's teeth, but not its arbor.
    EXPECT_TRUE(HasOnCircle(capture, 0.0, 0.0, 3.15, 0.15)) << "gear teeth";
    EXPECT_FALSE(HasOnCircle(capture, 0.0, 0.0, 0.15, -0.6)) << "no arbor";
}

} // namespace
