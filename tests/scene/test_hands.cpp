// The hands at given local times: where their tips, ridges and side corners lie, and which
// facet is the brighter one.
#include "tests/scene/scene_view.h"

namespace {

using HandsTest = SceneTest;

struct Point {
    double x, y, z;
};

// A point of a hand's own frame (pointing along +x), turned to its angle about a pivot.
Point Turn(double degrees, double x, double y, double z, double pivotY = 0.0) {
    const double a = degrees * M_PI / 180.0;
    return {x * std::cos(a) - y * std::sin(a), pivotY + x * std::sin(a) + y * std::cos(a), z};
}

// The colours of the corners at a point, in every polygon that has a corner there.
std::vector<float> ReadRedsAt(const Capture& capture, Point p) {
    std::vector<float> reds;
    for (const Primitive& primitive : capture)
        for (const Corner& c : primitive.corners)
            if (SceneTest::IsNear(c, p.x, p.y, p.z))
                reds.push_back(c.rgba[0]);
    return reds;
}

void ExpectRed(const Capture& capture, Point p, float red, const char* what) {
    const std::vector<float> reds = ReadRedsAt(capture, p);
    EXPECT_FALSE(reds.empty()) << what << " missing";
    for (float r : reds)
        EXPECT_NEAR(r, red, 0.01f) << what;
}

TEST_F(HandsTest, PointAtTheLocalTime) {
    // Degrees counter-clockwise from 3 o'clock, from the described readings of the clock.
    struct Case {
        WORD hour, minute, second;
        double hourAngle, minuteAngle, secondsAngle;
    };
    const Case cases[] = {
        {12, 0, 0, 90, 90, 90},
        {0, 0, 0, 90, 90, 90},
        {3, 0, 0, 0, 90, 90},
        {15, 0, 0, 0, 90, 90},
        {6, 30, 0, -105, -90, 90},
        {10, 10, 30, -215, 27, -90},
        {23, 59, 59, -629.5, -269.9, -264},
    };
    PressKeys("L"); // unlit, so the corners carry the colours as given
    Pose(0.0f, 0.0f);
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.hour << ":" << c.minute << ":" << c.second);
        fake::SetLocalTime(c.hour, c.minute, c.second);
        const Capture capture = CaptureFrame(View{});
        // Hour: tail 1 behind, tip 4 ahead, 0.4 wide, from 0.4 above the dial's centre with
        // its ridge at 0.5; minute: tip 6 ahead, 0.1 higher throughout.
        const struct {
            double angle, tip, base;
        } lozenges[] = {{c.hourAngle, 4.0, 0.4}, {c.minuteAngle, 6.0, 0.5}};
        for (const auto& hand : lozenges) {
            const Point tip = Turn(hand.angle, hand.tip, 0, hand.base);
            const Point tail = Turn(hand.angle, -1, 0, hand.base);
            EXPECT_TRUE(Has(capture, tip.x, tip.y, tip.z)) << "tip at " << hand.angle;
            EXPECT_TRUE(Has(capture, tail.x, tail.y, tail.z)) << "tail at " << hand.angle;
            EXPECT_TRUE(Has(capture, 0.0, 0.0, hand.base + 0.1)) << "ridge";
            // The brighter facet on the clockwise side, the darker on the other.
            ExpectRed(capture, Turn(hand.angle, 0, -0.2, hand.base), 1.0f, "clockwise side");
            ExpectRed(capture, Turn(hand.angle, 0, 0.2, hand.base), 0.8f, "other side");
        }
        // Seconds: 1.6 ahead of the sub-dial's centre, 3.94 below the dial's, at 0.4, in the
        // minute hand's darker red; its hub of radius 0.15 over the pivot.
        ExpectRed(capture, Turn(c.secondsAngle, 1.6, 0, 0.4, -3.94), 0.8f, "seconds tip");
        ExpectRed(capture, Turn(c.secondsAngle, -0.1, 0, 0.4, -3.94), 0.8f, "seconds tail");
        EXPECT_GT(Count(capture,
                        [](const Corner& k) {
                            return std::fabs(std::hypot(k.x, k.y + 3.94) - 0.15) < 0.005 &&
                                   std::fabs(k.z - 0.4) < 0.005;
                        }),
                  0)
            << "seconds hub";
    }
}

} // namespace
