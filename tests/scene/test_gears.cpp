// The gear train behind the dial: each gear's place, turn, teeth, spokes, bore, arbors, faces.
#include "tests/scene/scene_view.h"

namespace {

using GearsTest = SceneTest;

// A polygon facing the eye, flat on the plane z, with corners at both radii about (x, y).
bool HasFace(const Capture& capture, double x, double y, double z, double inner, double outer) {
    return std::any_of(capture.polygons.begin(), capture.polygons.end(), [&](const auto& corners) {
        bool flat = true, reachesInner = false, reachesOuter = false;
        for (const Corner& c : corners) {
            const double r = std::hypot(c.x - x, c.y - y);
            flat = flat && std::fabs(c.z - z) < 0.005;
            reachesInner = reachesInner || std::fabs(r - inner) < 0.01;
            reachesOuter = reachesOuter || std::fabs(r - outer) < 0.01;
        }
        return flat && reachesInner && reachesOuter;
    });
}

TEST_F(GearsTest, EachGearTurnsAtItsRateAboutItsOwnAxis) {
    // Centre in the train's frame, bore and tip radii, teeth, the spoke bars' reach (0.15
    // square), the angle in degrees at 0 ms, 1 s and 2,000,000 s, and how far the arbor (radius
    // 0.15, up to 0.2 above the gear's mid-plane) reaches below it.
    const struct {
        double x, y, z, bore, tipRadius;
        int teeth;
        double spokes, angles[3], arbor;
    } rows[] = {
        {0.0, 0.0, 0.0, 2.5, 3.15, 32, 2.51, {-40, -15, 280}, 0.0},
        {0.0, 0.0, 0.4, 0.0, 0.95, 11, 0.0, {0, 200, 40}, 0.6},
        {2.9, 0.0, 0.4, 1.5, 2.15, 24, 1.51, {-3, -94.659, -299.829}, 0.0},
        {2.9, 0.0, 0.8, 0.0, 0.95, 11, 0.0, {5, -244.377, -112.207}, 0.6},
        {3.0, -2.9, 0.8, 1.5, 2.15, 24, 1.51, {0, 114.286, 228.571}, 1.0},
        {3.0, -2.9, 0.0, 0.1, 0.75, 7, 0.0, {-35, 79.286, 193.571}, 0.0},
        {1.68, -3.5, 0.0, 0.0, 0.95, 11, 0.0, {4, -68.727, -141.455}, 0.0},
        {0.3, -4.0, 0.0, 0.1, 0.75, 7, 0.0, {8, 122.286, 236.571}, 0.0},
    };
    const int32_t times[] = {0, 1000, 2000000000};
    PressKeys("CF"); // the case open, the dial out of the way
    Pose(20.0f, 180.0f);
    for (int t = 0; t < 3; ++t) {
        ElapsedMs = times[t];
        const Capture capture = CaptureFrame(View{20.0, 180.0, 0.0, -2.5, -34.0, true});
        for (const auto& row : rows) {
            // Tooth 0 reaches the tip circle a quarter of a tooth period past the gear's angle.
            SCOPED_TRACE(::testing::Message() << "gear at (" << row.x << ", " << row.y << ", "
                                              << row.z << ") at " << times[t] << " ms");
            const double a = (row.angles[t] + 90.0 / row.teeth) * M_PI / 180.0;
            EXPECT_TRUE(Has(capture, row.x + row.tipRadius * std::cos(a),
                            row.y + row.tipRadius * std::sin(a), row.z + 0.15));
            EXPECT_TRUE(HasOnCircle(capture, row.x, row.y, row.bore, row.z + 0.15)) << "bore";
            // The far top corner of the second spoke bar, a right angle past the first.
            const double g = row.angles[t] * M_PI / 180.0, end = row.spokes;
            EXPECT_TRUE(end == 0.0 ||
                        Has(capture, row.x + 0.15 * std::cos(g) - end * std::sin(g),
                            row.y + 0.15 * std::sin(g) + end * std::cos(g), row.z + 0.15))
                << "spokes";
            for (double z : {row.z - row.arbor, row.z + 0.2})
                EXPECT_TRUE(row.arbor == 0.0 || HasOnCircle(capture, row.x, row.y, 0.15, z))
                    << "arbor end " << z;
        }
    }
    // From behind the watch each gear shows its front (up the train's z), from in front its
    // back: the ring from the bore to the root circle and the teeth out to the tips.
    for (const double spin : {180.0, 0.0}) {
        Pose(20.0f, static_cast<float>(spin));
        const Capture capture = CaptureFrame(View{20.0, spin, 0.0, -2.5, -34.0, true});
        for (const auto& row : rows) {
            SCOPED_TRACE(::testing::Message() << "gear at (" << row.x << ", " << row.y << ", "
                                              << row.z << ") seen at spin " << spin);
            const double z = row.z + (spin == 0.0 ? -0.15 : 0.15), root = row.tipRadius - 0.3;
            EXPECT_TRUE(HasFace(capture, row.x, row.y, z, row.bore, root)) << "ring";
            EXPECT_TRUE(HasFace(capture, row.x, row.y, z, root, row.tipRadius)) << "teeth";
        }
    }
}

} // namespace
