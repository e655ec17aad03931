// The gear train behind the dial: where each gear stands as time goes on, its arbors, and the
// outline of each gear's teeth, body, spokes and bore.
#include "tests/scene/scene_view.h"

namespace {

using GearsTest = SceneTest;

TEST_F(GearsTest, EachGearTurnsAtItsRateAboutItsOwnAxis) {
    // Centre in the train's frame, tip radius, teeth, the angle in degrees at 0 ms, 1 s and
    // 2,000,000 s (the last taken within a turn, to the thousandth), and how far the arbor
    // (radius 0.15, up to 0.2 above the gear's mid-plane) reaches below it: short or long.
    const struct {
        double x, y, z, tipRadius;
        int teeth;
        double angles[3], arbor;
    } rows[] = {
        {0.0, 0.0, 0.0, 3.15, 32, {-40, -15, 280}, 0.0},
        {0.0, 0.0, 0.4, 0.95, 11, {0, 200, 40}, 0.6},
        {2.9, 0.0, 0.4, 2.15, 24, {-3, -94.659, -299.829}, 0.0},
        {2.9, 0.0, 0.8, 0.95, 11, {5, -244.377, -112.207}, 0.6},
        {3.0, -2.9, 0.8, 2.15, 24, {0, 114.286, 228.571}, 1.0},
        {3.0, -2.9, 0.0, 0.75, 7, {-35, 79.286, 193.571}, 0.0},
        {1.68, -3.5, 0.0, 0.95, 11, {4, -68.727, -141.455}, 0.0},
        {0.3, -4.0, 0.0, 0.75, 7, {8, 122.286, 236.571}, 0.0},
    };
    const int32_t times[] = {0, 1000, 2000000000};
    PressKeys("CF"); // the case open, the dial out of the way
    Pose(20.0f, 180.0f);
    for (int t = 0; t < 3; ++t) {
        ElapsedMs = times[t];
        const Capture capture = CaptureFrame(View{20.0, 180.0, 0.0, -2.5, -34.0, true});
        for (const auto& row : rows) {
            // Tooth 0 reaches the tip circle a quarter of a tooth period past the gear's angle.
            const double a = (row.angles[t] + 90.0 / row.teeth) * M_PI / 180.0;
            EXPECT_TRUE(Has(capture, row.x + row.tipRadius * std::cos(a),
                            row.y + row.tipRadius * std::sin(a), row.z + 0.15))
                << "gear at (" << row.x << ", " << row.y << ", " << row.z << ") at " << times[t]
                << " ms";
            for (double z : {row.z - row.arbor, row.z + 0.2})
                EXPECT_TRUE(row.arbor == 0.0 || HasOnCircle(capture, row.x, row.y, 0.15, z))
                    << "arbor end " << z;
        }
    }
}

// Whether a point of a gear drawn flat and unlit at 100 pixels a unit is covered.
bool IsCovered(double radius, double radians, bool fromBehind) {
    const double x = radius * std::cos(radians) * (fromBehind ? -1 : 1);
    const Rgb seen =
        ReadPixel(static_cast<int>(std::lround(400 + 100 * x)),
                  static_cast<int>(std::lround(300 + 100 * radius * std::sin(radians))));
    return seen.r == 255;
}

TEST_F(GearsTest, TeethBodySpokesAndBoreAreWhereTheShapeSays) {
    // Bore, root and tip radii; spokes along the axes, and a hub from 0.2 to 0.4.
    const struct {
        const GLuint* list;
        int teeth;
        double bore, root, tip;
        bool spokes, hub;
    } gears[] = {{&Wheel32List, 32, 2.5, 2.85, 3.15, true, true},
                 {&Pinion11List, 11, 0.0, 0.65, 0.95, false, false},
                 {&Wheel24List, 24, 1.5, 1.85, 2.15, true, false},
                 {&Pinion7List, 7, 0.1, 0.45, 0.75, false, false}};
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-4, 4, -3, 3, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    for (const auto& gear : gears) {
        const double quarter = M_PI / 2 / gear.teeth, mid = (gear.root + gear.tip) / 2;
        for (bool behind : {false, true}) {
            SCOPED_TRACE(::testing::Message() << gear.teeth << " teeth, behind " << behind);
            glLoadIdentity();
            glRotatef(behind ? 180.0f : 0.0f, 0.0f, 1.0f, 0.0f);
            glColor3f(1.0f, 1.0f, 1.0f);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            glCallList(*gear.list);
            glFinish();
            // A tooth rises over the first quarter of its period, stays up over the second,
            // falls over the third and leaves a gap over the fourth.
            EXPECT_TRUE(IsCovered(mid, 1.5 * quarter, behind)) << "tooth";
            EXPECT_FALSE(IsCovered(mid, 3.5 * quarter, behind)) << "gap";
            EXPECT_TRUE(IsCovered((gear.bore + gear.root) / 2, 0.3, behind)) << "body";
            EXPECT_EQ(IsCovered(gear.bore / 2, M_PI / 4, behind), gear.bore == 0.0) << "bore";
            EXPECT_EQ(IsCovered(gear.bore * 0.6, M_PI / 2, behind), gear.spokes || gear.bore == 0.0)
                << "spoke";
            EXPECT_EQ(IsCovered(0.3, M_PI / 4, behind), gear.hub || gear.bore < 0.3) << "hub";
        }
    }
}

} // namespace
