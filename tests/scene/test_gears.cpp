// The gear train behind the dial: where each gear stands as time goes on, its arbors, and the
// outline of each gear's teeth, body, spokes and bore.
#include "tests/scene/scene_view.h"

namespace {

using GearsTest = SceneTest;

// The train seen from behind and a little above, the case open, the dial out of the way.
const View Behind = {20.0, 180.0, 0.0, -2.5, -34.0, true};

void ShowWorksFromBehind() {
    SceneTest::PressKeys("CF");
    DragMode = DragNone;
    TiltX = 20.0f;
    SpinY = 180.0f;
}

TEST_F(GearsTest, EachGearTurnsAtItsRateAboutItsOwnAxis) {
    // Centre in the train's frame, tip radius, teeth, and the angle in degrees at 0 ms, 1 s
    // and 2,000,000 s (the last taken within a turn, to the thousandth).
    struct Row {
        double x, y, z, tipRadius;
        int teeth;
        double angles[3];
    };
    const Row rows[] = {
        {0.0, 0.0, 0.0, 3.15, 32, {-40, -15, 280}},
        {0.0, 0.0, 0.4, 0.95, 11, {0, 200, 40}},
        {2.9, 0.0, 0.4, 2.15, 24, {-3, -94.659, -299.829}},
        {2.9, 0.0, 0.8, 0.95, 11, {5, -244.377, -112.207}},
        {3.0, -2.9, 0.8, 2.15, 24, {0, 114.286, 228.571}},
        {3.0, -2.9, 0.0, 0.75, 7, {-35, 79.286, 193.571}},
        {1.68, -3.5, 0.0, 0.95, 11, {4, -68.727, -141.455}},
        {0.3, -4.0, 0.0, 0.75, 7, {8, 122.286, 236.571}},
    };
    const int32_t times[] = {0, 1000, 2000000000};
    ShowWorksFromBehind();
    for (int t = 0; t < 3; ++t) {
        ElapsedMs = times[t];
        const Capture capture = CaptureFrame(Behind);
        for (const Row& row : rows) {
            // Tooth 0 reaches the tip circle a quarter of a tooth period past the gear's angle.
            const double a = (row.angles[t] + 90.0 / row.teeth) * M_PI / 180.0;
            EXPECT_TRUE(Has(capture, row.x + row.tipRadius * std::cos(a),
                            row.y + row.tipRadius * std::sin(a), row.z + 0.15))
                << "gear at (" << row.x << ", " << row.y << ", " << row.z << ") at " << times[t]
                << " ms";
        }
    }
}

TEST_F(GearsTest, ArborsRunTheirLengthThroughTheirGears) {
    // Axis, and the rod's ends in the train's frame: 0.6 (short) or 1.0 (long) below the
    // gear's mid-plane to 0.2 above it, radius 0.15.
    const struct {
        double x, y, bottom, top;
    } arbors[] = {{0.0, 0.0, -0.2, 0.6}, {2.9, 0.0, 0.2, 1.0}, {3.0, -2.9, -0.2, 1.0}};
    ShowWorksFromBehind();
    ElapsedMs = 777;
    const Capture capture = CaptureFrame(Behind);
    for (const auto& arbor : arbors) {
        for (double z : {arbor.bottom, arbor.top}) {
            EXPECT_GT(Count(capture,
                            [&](const Corner& c) {
                                return std::fabs(std::hypot(c.x - arbor.x, c.y - arbor.y) - 0.15) <
                                           0.005 &&
                                       std::fabs(c.z - z) < 0.005;
                            }),
                      0)
                << "arbor at (" << arbor.x << ", " << arbor.y << ") end " << z;
        }
    }
}

// One gear list drawn flat and unlit at 100 pixels a unit, from the front or from behind.
void DrawGearAlone(GLuint list, bool fromBehind) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-4, 4, -3, 3, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (fromBehind)
        glRotatef(180.0f, 0.0f, 1.0f, 0.0f);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glColor3f(1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glCallList(list);
    glFinish();
}

bool IsCovered(double radius, double radians, bool fromBehind) {
    const double x = radius * std::cos(radians) * (fromBehind ? -1 : 1);
    const int px = static_cast<int>(std::lround(400 + 100 * x));
    const int py = static_cast<int>(std::lround(300 + 100 * radius * std::sin(radians)));
    return ReadPixel(px, py).r == 255;
}

TEST_F(GearsTest, TeethBodySpokesAndBoreAreWhereTheShapeSays) {
    // Bore, root and tip radii; spokes along the axes (and a hub from 0.2 to 0.4) or none.
    const struct {
        const GLuint* list;
        int teeth;
        double bore, root, tip;
        bool spokes, hub;
    } gears[] = {{&Wheel32List, 32, 2.5, 2.85, 3.15, true, true},
                 {&Pinion11List, 11, 0.0, 0.65, 0.95, false, false},
                 {&Wheel24List, 24, 1.5, 1.85, 2.15, true, false},
                 {&Pinion7List, 7, 0.1, 0.45, 0.75, false, false}};
    for (const auto& gear : gears) {
        const double quarter = M_PI / 2 / gear.teeth, mid = (gear.root + gear.tip) / 2;
        for (bool behind : {false, true}) {
            SCOPED_TRACE(::testing::Message() << gear.teeth << " teeth, behind " << behind);
            DrawGearAlone(*gear.list, behind);
            // A tooth rises over the first quarter of its period, stays up over the second,
            // falls over the third and leaves a gap over the fourth.
            EXPECT_TRUE(IsCovered(mid, 1.5 * quarter, behind)) << "tooth";
            EXPECT_FALSE(IsCovered(mid, 3.5 * quarter, behind)) << "gap";
            EXPECT_FALSE(IsCovered(gear.tip + 0.03, 1.5 * quarter, behind)) << "past the tip";
            EXPECT_TRUE(IsCovered((gear.bore + gear.root) / 2, 0.3, behind)) << "body";
            EXPECT_EQ(IsCovered(gear.bore / 2, M_PI / 4, behind), gear.bore == 0.0) << "bore";
            if (gear.bore > 0.0) {
                EXPECT_FALSE(IsCovered(gear.bore - 0.03, M_PI / 4, behind)) << "bore's edge";
            }
            if (gear.spokes) {
                EXPECT_TRUE(IsCovered(gear.bore * 0.6, M_PI / 2, behind)) << "spoke";
            }
            if (gear.hub) {
                EXPECT_TRUE(IsCovered(0.3, M_PI / 4, behind)) << "hub";
                EXPECT_FALSE(IsCovered(0.1, M_PI / 4, behind)) << "hub's hole";
            }
        }
    }
}

} // namespace
