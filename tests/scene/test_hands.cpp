// The hands at given local times: their tips, ridges, side corners and brighter facets.
#include "tests/scene/scene_view.h"

namespace {

using HandsTest = SceneTest;

// A point in a hand's own frame (along +x) turned by degrees about its pivot: a corner there,
// every one in the colour given, if any.
void ExpectHandCorner(const Capture& capture, double degrees, double x, double y, double z,
                      std::array<float, 3> rgb = {-1, -1, -1}, double pivotY = 0.0) {
    const double a = degrees * M_PI / 180.0;
    const double px = x * std::cos(a) - y * std::sin(a);
    const double py = pivotY + x * std::sin(a) + y * std::cos(a);
    int found = 0;
    for (const Corner& c : capture.corners) {
        found += SceneTest::IsNear(c, px, py, z);
        for (int k = 0; k < 3 && SceneTest::IsNear(c, px, py, z) && rgb[0] >= 0; ++k)
            EXPECT_NEAR(c.rgba[k], rgb[k], 0.01f) << "at " << px << ", " << py << ", " << z;
    }
    EXPECT_GT(found, 0) << "no corner at " << px << ", " << py << ", " << z;
}

TEST_F(HandsTest, PointAtTheLocalTime) {
    // Degrees counter-clockwise from 3 o'clock.
    const struct {
        WORD hour, minute, second;
        double hourAngle, minuteAngle, secondsAngle;
    } cases[] = {
        {12, 0, 0, 90, 90, 90},
        {3, 0, 0, 0, 90, 90},
        {6, 30, 0, -105, -90, 90},
        {10, 10, 30, -215, 27, -90},
        {23, 59, 59, -629.5, -269.9, -264},
    };
    PressKeys("L"); // unlit, so the corners carry the colours as given
    Pose(0.0f, 0.0f);
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.hour << ":" << c.minute << ":" << c.second);
        fake::SetLocalTime(c.hour, c.minute, c.second);
        const Capture capture = CaptureFrame(View{});
        // Hour: tip 4 ahead, 0.4 above the dial's centre, ridge 0.1 higher; minute: tip 6, 0.5.
        const struct {
            double angle, tip, base;
        } lozenges[] = {{c.hourAngle, 4.0, 0.4}, {c.minuteAngle, 6.0, 0.5}};
        const std::array<float, 3> bright = {1.0f, 0.2f, 0.2f}, dark = {0.8f, 0.2f, 0.2f};
        for (const auto& hand : lozenges) {
            ExpectHandCorner(capture, hand.angle, hand.tip, 0, hand.base);
            EXPECT_TRUE(Has(capture, 0.0, 0.0, hand.base + 0.1)) << "ridge";
            ExpectHandCorner(capture, hand.angle, 0, -0.2, hand.base, bright); // clockwise side
            ExpectHandCorner(capture, hand.angle, 0, 0.2, hand.base, dark);
        }
        // Seconds: 1.6 ahead of the sub-dial's centre 3.94 below the dial's, at 0.4; its hub.
        ExpectHandCorner(capture, c.secondsAngle, 1.6, 0, 0.4, dark, -3.94);
        EXPECT_TRUE(HasOnCircle(capture, 0.0, -3.94, 0.15, 0.4)) << "seconds hub";
        ExpectHandCorner(capture, 0, 0, 0, 0.3, {1.0f, 1.0f, 1.0f}); // the dial's face
    }
}

TEST_F(HandsTest, FromBehindTheDialsBluishBackShowsNotItsFace) {
    PressKeys("LC");
    Pose(0.0f, 180.0f);
    const Capture capture = CaptureFrame(View{0.0, 180.0}); // at 12:00:00
    ExpectHandCorner(capture, 0, 0, 0, 0.4, {0.6f, 0.6f, 0.7f});
    EXPECT_FALSE(Has(capture, 0.0, 0.0, 0.3)) << "the face";
}

} // namespace
