// The hands at the local time the fake platform gives GetLocalTime.
#include <cmath>

#include <gtest/gtest.h>

#include "scene/hands.h"
#include "tests/gears/default_view.h"
#include "tests/support/fake_platform.h"

namespace {

constexpr double DegreesToRadians = 3.14159265358979323846 / 180.0;

struct HandCase {
    int hour, minute, second;
    float hourAngle, minuteAngle, secondsAngle;
};

TEST(HandAngles, FollowTheLocalTime) {
    const HandCase cases[] = {
        {12, 0, 0, -270.0f, 90.0f, 90.0f},    // one turn on from straight up
        {0, 0, 0, 90.0f, 90.0f, 90.0f},       // straight up
        {3, 0, 0, 0.0f, 90.0f, 90.0f},        // hour hand along +x
        {15, 0, 0, -360.0f, 90.0f, 90.0f},    // the same way as at 3, one turn on
        {6, 30, 0, -105.0f, -90.0f, 90.0f},   // halfway between 6 and 7; minute at 6
        {10, 10, 30, -215.0f, 27.0f, -90.0f}, // three degrees past the 2 o'clock mark
        {0, 0, 59, 90.0f, 84.1f, -264.0f},    // one step short of 12
        {1, 59, 0, 30.5f, -264.0f, 90.0f},    // half a degree a minute
    };
    for (const HandCase& c : cases) {
        fake::SetLocalTime(c.hour, c.minute, c.second);
        const HandAngles angles = ReadHandAngles();
        EXPECT_FLOAT_EQ(angles.hour, c.hourAngle) << c.hour << ":" << c.minute << ":" << c.second;
        EXPECT_FLOAT_EQ(angles.minute, c.minuteAngle) << c.hour << ":" << c.minute;
        EXPECT_FLOAT_EQ(angles.seconds, c.secondsAngle) << c.second << " s";
    }
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

    // Draws the hands at that time; the frame stays in the back buffer.
    static void DrawAt(int hour, int minute, int second, bool fromBehind) {
        fake::SetLocalTime(hour, minute, second);
        StartFrame(fromBehind);
        DrawHands();
    }

    // Whether a hand covers the pixel under the point at radius from (cx, cy) along angle
    // degrees, in the dial's frame with the current matrices. Looks one pixel around, for
    // the thin seconds hand.
    static bool ProbeRed(const std::vector<uint8_t>& picture, double cx, double cy, double angle,
                         double radius, double z) {
        int wx = 0, wy = 0;
        ProjectToWindow(cx + radius * std::cos(angle * DegreesToRadians),
                        cy + radius * std::sin(angle * DegreesToRadians), z, &wx, &wy);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const size_t at = (static_cast<size_t>(wy + dy) * ViewSize + (wx + dx)) * 3;
                if (IsHandRed({picture.at(at), picture.at(at + 1), picture.at(at + 2)}))
                    return true;
            }
        return false;
    }

    static int CountRedPixels() {
        const auto frame = ReadFrame(ViewSize, ViewSize);
        int red = 0;
        for (size_t i = 0; i + 2 < frame.size(); i += 3)
            red += IsHandRed({frame[i], frame[i + 1], frame[i + 2]}) ? 1 : 0;
        return red;
    }
};

TEST_F(HandsFrame, HandsLieWhereTheirAnglesPoint) {
    struct Probe {
        int hour, minute, second;
        double cx, cy, angle, radius, z;
        double emptyAngle; // where, at the same radius, no hand lies
    };
    // Hour hand 1 unit out, minute hand 2.5 out, seconds hand 0.5 out from its sub-dial.
    const Probe probes[] = {
        {3, 0, 0, 0.0, 0.0, 0.0, 1.0, 0.45, -45.0},
        {3, 0, 0, 0.0, 0.0, 90.0, 2.5, 0.55, 180.0},
        {10, 10, 30, 0.0, 0.0, -215.0, 1.0, 0.45, 55.0},
        {10, 10, 30, 0.0, 0.0, 27.0, 2.5, 0.55, 117.0},
        {6, 30, 15, 0.0, 0.0, -105.0, 1.0, 0.45, -15.0},
        {6, 30, 15, 0.0, 0.0, -91.5, 2.5, 0.55, 0.0},
        {0, 0, 15, 0.0, -3.94, 0.0, 0.5, 0.4, 180.0},
        {0, 0, 59, 0.0, -3.94, -264.0, 0.5, 0.4, -174.0},
    };
    for (const Probe& p : probes) {
        SCOPED_TRACE(::testing::Message() << p.hour << ":" << p.minute << ":" << p.second << " at "
                                          << p.angle << " degrees");
        DrawAt(p.hour, p.minute, p.second, false);
        const auto picture = ReadFrame(ViewSize, ViewSize);
        EXPECT_TRUE(ProbeRed(picture, p.cx, p.cy, p.angle, p.radius, p.z));
        EXPECT_FALSE(ProbeRed(picture, p.cx, p.cy, p.emptyAngle, p.radius, p.z));
    }
}

TEST_F(HandsFrame, ClockIsReadAfreshOnEveryCall) {
    DrawAt(3, 0, 0, false);
    const auto atThree = ReadFrame(ViewSize, ViewSize);
    DrawAt(9, 0, 0, false);
    const auto atNine = ReadFrame(ViewSize, ViewSize);
    EXPECT_TRUE(ProbeRed(atThree, 0.0, 0.0, 0.0, 1.0, 0.45));
    EXPECT_FALSE(ProbeRed(atThree, 0.0, 0.0, 180.0, 1.0, 0.45));
    EXPECT_TRUE(ProbeRed(atNine, 0.0, 0.0, 180.0, 1.0, 0.45));
    EXPECT_FALSE(ProbeRed(atNine, 0.0, 0.0, 0.0, 1.0, 0.45));
}

// Every facet winds counter-clockwise seen from the front, so culling hides the hands from
// behind. Only the raised ridge escapes: the GL's split of a facet leaves a triangle standing
// upright along the hand, a sliver seen from its side, and edge-on (gone) when the hands
// point straight up or down, in line with the eye.
TEST_F(HandsFrame, HandsAreNotSeenFromBehind) {
    DrawAt(6, 0, 0, false);
    EXPECT_GT(CountRedPixels(), 300);
    DrawAt(6, 0, 0, true);
    EXPECT_EQ(CountRedPixels(), 0);

    DrawAt(10, 10, 30, false);
    const int front = CountRedPixels();
    DrawAt(10, 10, 30, true);
    EXPECT_LT(CountRedPixels(), front / 20);
}

TEST_F(HandsFrame, ModelviewMatrixIsLeftAsFound) {
    StartFrame(false);
    GLfloat before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    DrawHands();
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(before[i], after[i]);
}

} // namespace
