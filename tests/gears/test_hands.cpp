// The hands at the local time the fake platform gives GetLocalTime.
#include <cmath>

#include <gtest/gtest.h>

#include "scene/hands.h"
#include "tests/gears/default_view.h"
#include "tests/support/fake_platform.h"

namespace {

TEST(HandAngles, FollowTheLocalTime) {
    const struct {
        int hour, minute, second;
        float hourAngle, minuteAngle, secondsAngle;
    } cases[] = {
        {12, 0, 0, -270.0f, 90.0f, 90.0f},    // one turn on from straight up
        {0, 0, 0, 90.0f, 90.0f, 90.0f},       // straight up
        {3, 0, 0, 0.0f, 90.0f, 90.0f},        // hour hand along +x
        {15, 0, 0, -360.0f, 90.0f, 90.0f},    // the same way as at 3, one turn on
        {6, 30, 0, -105.0f, -90.0f, 90.0f},   // halfway between 6 and 7; minute at 6
        {10, 10, 30, -215.0f, 27.0f, -90.0f}, // three degrees past the 2 o'clock mark
        {0, 0, 59, 90.0f, 84.1f, -264.0f},    // one step short of 12
        {1, 59, 0, 30.5f, -264.0f, 90.0f},    // half a degree a minute
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.hour << ":" << c.minute << ":" << c.second);
        fake::SetLocalTime(c.hour, c.minute, c.second);
        const HandAngles angles = ReadHandAngles();
        EXPECT_FLOAT_EQ(angles.hour, c.hourAngle);
        EXPECT_FLOAT_EQ(angles.minute, c.minuteAngle);
        EXPECT_FLOAT_EQ(angles.seconds, c.secondsAngle);
    }
}

// The unlit hands' reds, (1.0, 0.2, 0.2) and (0.8, 0.2, 0.2).
bool IsHandRed(const uint8_t* c) {
    return c[0] >= 190 && c[1] <= 70 && c[2] <= 70;
}

class HandsFrame : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::Reset();
        ASSERT_TRUE(MakeOffscreenContext(ViewSize, ViewSize));
        PrepareDefaultView(false);
    }
    void TearDown() override {
        gluDeleteQuadric(Quadric);
        Quadric = nullptr;
        DestroyOffscreenContext();
    }

    static std::vector<uint8_t> DrawAt(int hour, int minute, int second, bool fromBehind) {
        fake::SetLocalTime(hour, minute, second);
        StartFrame(fromBehind);
        DrawHands();
        return ReadFrame(ViewSize, ViewSize);
    }

    // Whether a hand covers the pixel (or, for the thin seconds hand, one next to it) at
    // radius from (cx, cy) along angle degrees, in the dial's frame.
    static bool ProbeRed(const std::vector<uint8_t>& frame, double cx, double cy, double angle,
                         double radius, double z) {
        GLdouble modelview[16], projection[16], x = 0, y = 0, depth = 0;
        GLint viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        const double radians = angle * 3.14159265358979323846 / 180.0;
        gluProject(cx + radius * std::cos(radians), cy + radius * std::sin(radians), z, modelview,
                   projection, viewport, &x, &y, &depth);
        const long wx = std::lround(x), wy = std::lround(y);
        for (long dy = -1; dy <= 1; ++dy)
            for (long dx = -1; dx <= 1; ++dx)
                if (IsHandRed(&frame.at(((wy + dy) * ViewSize + wx + dx) * 3)))
                    return true;
        return false;
    }

    static int CountRedPixels(const std::vector<uint8_t>& frame) {
        int red = 0;
        for (size_t i = 0; i + 2 < frame.size(); i += 3)
            red += IsHandRed(&frame[i]);
        return red;
    }
};

TEST_F(HandsFrame, HandsLieWhereTheirAnglesPoint) {
    // Hour hand 1 unit out, minute hand 2.5 out, seconds hand 0.5 out from its sub-dial;
    // emptyAngle is where, at the same radius, no hand lies.
    const struct {
        int hour, minute, second;
        double cy, angle, radius, z, emptyAngle;
    } probes[] = {
        {3, 0, 0, 0.0, 0.0, 1.0, 0.45, -45.0},      {3, 0, 0, 0.0, 90.0, 2.5, 0.55, 180.0},
        {10, 10, 30, 0.0, -215.0, 1.0, 0.45, 55.0}, {10, 10, 30, 0.0, 27.0, 2.5, 0.55, 117.0},
        {6, 30, 15, 0.0, -105.0, 1.0, 0.45, -15.0}, {6, 30, 15, 0.0, -91.5, 2.5, 0.55, 0.0},
        {0, 0, 15, -3.94, 0.0, 0.5, 0.4, 180.0},    {0, 0, 59, -3.94, -264.0, 0.5, 0.4, -174.0},
        {9, 0, 0, 0.0, 180.0, 1.0, 0.45, 0.0},
    };
    for (const auto& p : probes) {
        SCOPED_TRACE(::testing::Message() << p.hour << ":" << p.minute << ":" << p.second << " at "
                                          << p.angle << " degrees");
        const auto frame = DrawAt(p.hour, p.minute, p.second, false);
        EXPECT_TRUE(ProbeRed(frame, 0.0, p.cy, p.angle, p.radius, p.z));
        EXPECT_FALSE(ProbeRed(frame, 0.0, p.cy, p.emptyAngle, p.radius, p.z));
    }
}

// Every facet winds counter-clockwise seen from the front, so culling hides the hands from
// behind. Only the raised ridge escapes: the GL's split of a facet leaves a triangle standing
// upright along the hand, edge-on (gone) when the hands point straight up or down.
TEST_F(HandsFrame, HandsAreNotSeenFromBehind) {
    EXPECT_GT(CountRedPixels(DrawAt(6, 0, 0, false)), 300);
    EXPECT_EQ(CountRedPixels(DrawAt(6, 0, 0, true)), 0);
    const int front = CountRedPixels(DrawAt(10, 10, 30, false));
    EXPECT_LT(CountRedPixels(DrawAt(10, 10, 30, true)), front / 20);
}

TEST_F(HandsFrame, ModelviewMatrixIsLeftAsFound) {
    StartFrame(false);
    ExpectMatrixKept(DrawHands);
}

} // namespace
