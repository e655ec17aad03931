// Whole frames: where the camera puts the watch, which parts each key shows, where the case
// and glass sit, how the light and the glass fall, and the state a frame leaves behind.
#include "tests/scene/scene_view.h"

namespace {

using FrameTest = SceneTest;

// Only the glass is drawn half transparent.
const auto IsGlass = [](const Corner& c) { return std::fabs(c.rgba[3] - 0.5f) < 0.01f; };

TEST_F(FrameTest, SwaysUntilTheFirstClickThenKeepsTheStoredView) {
    // Sway: tilt 30 cos(ms / 300) about x, then spin 30 sin(ms / 300) + 10 about y. After a
    // click the start view (tilt -5) or the dragged one; the translation applies throughout.
    const struct {
        int32_t dragMode, elapsedMs;
        View view;
    } cases[] = {
        {DragSway, 0, {30.0, 10.0}},       {DragSway, 471, {0.0239, 40.0}},
        {DragSway, 942, {-30.0, 10.0478}}, {DragSway, 100000, {28.4342, 19.5654, 2.0, 1.0, -40.0}},
        {DragNone, 942, {-5.0, 0.0}},      {DragRotate, 471, {25.0, -60.0, 1.5, -1.0, -25.0}},
    };
    fake::SetLocalTime(3, 0, 0); // the hour hand along +x, the minute hand up
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "drag " << c.dragMode << " at " << c.elapsedMs);
        if (c.dragMode != DragSway) // until then the sway set up at start-up runs
            DragMode = c.dragMode;
        ElapsedMs = c.elapsedMs;
        if (DragMode > 0)
            TiltX = c.view.tilt, SpinY = c.view.spin;
        ViewX = c.view.x, ViewY = c.view.y, ViewZ = c.view.z;
        const Capture capture = CaptureFrame(c.view);
        EXPECT_TRUE(Has(capture, 4.0, 0.0, 0.4)) << "hour tip";
        EXPECT_TRUE(Has(capture, 0.0, 6.0, 0.5)) << "minute tip";
    }
}

TEST_F(FrameTest, KeysShowAndHideThePartsOfTheWatch) {
    const struct {
        const char* keys;
        bool dial, caseShown, glass, gears, outlines, lighting;
    } cases[] = {
        {"", true, true, true, false, false, true},
        {"W", true, true, true, true, true, true},
        {"L", true, true, false, false, false, false},
        {"F", false, true, true, false, false, true},
        {"C", true, false, false, true, false, true},
        {"WLFC", false, false, false, true, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        Pose(0.0f, 0.0f);
        PressKeys(c.keys);
        const Capture capture = CaptureFrame(View{});
        EXPECT_EQ(Has(capture, 0.0, 0.0, 0.3), c.dial) << "dial";
        EXPECT_EQ(Has(capture, 0.0, 4.0, 0.4), c.dial) << "hour hand, at 12:00:00";
        EXPECT_EQ(HasCorner(capture, [](const Corner& k) { return std::hypot(k.x, k.y) > 7.6; }),
                  c.caseShown);
        EXPECT_EQ(HasCorner(capture, IsGlass), c.glass) << "glass";
        // The 32-tooth wheel's tips, turned over behind the dial.
        EXPECT_EQ(HasOnCircle(capture, 0, 0, 3.15, 0.15), c.gears) << "gears";
        EXPECT_EQ(capture.polygons == 0, c.outlines);
        EXPECT_EQ(glIsEnabled(GL_LIGHTING) == GL_TRUE, c.lighting);
        // A held key toggles once: the entries are cleared.
        ApplyKeyToggles();
        EXPECT_EQ(glIsEnabled(GL_LIGHTING) == GL_TRUE, c.lighting) << "keys seen twice";
        TearDown();
        SetUp();
    }
}

TEST_F(FrameTest, EveryFrameLeavesTheStateTheNextOneExpects) {
    uint8_t* const flags[] = {&Wireframe, &ShowDial, &ShowCase, &ShowGlass};
    for (int bits = 0; bits < 16; ++bits) {
        SCOPED_TRACE(bits);
        for (int k = 0; k < 4; ++k)
            *flags[k] = (bits >> k) & 1;
        glEnable(GL_TEXTURE_2D); // whatever the state before
        DrawScene();
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S) || glIsEnabled(GL_TEXTURE_GEN_T));
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D) == GL_TRUE, !ShowDial && !ShowCase);
        GLint depth = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        EXPECT_EQ(depth, 1);
    }
}

TEST_F(FrameTest, CaseAndGlassSitWhereTheirTablesPutThem) {
    Pose(0.0f, 0.0f);
    ShowDial = 0;
    const Capture capture = CaptureFrame(View{});
    // The case: its table's extents, scaled by 3.3 and moved by (0, 2, -1.1); seen from the
    // front, its bezel's lip is the nearest part.
    auto extent = [&](double Corner::*axis, double sign) {
        double farthest = -1e9;
        for (const Corner& c : capture.corners)
            if (!IsGlass(c))
                farthest = std::max(farthest, sign * (c.*axis));
        return sign * farthest;
    };
    EXPECT_NEAR(extent(&Corner::x, 1), 8.6924, 0.01);
    EXPECT_NEAR(extent(&Corner::y, 1), 12.725, 0.01);
    EXPECT_NEAR(extent(&Corner::z, 1), 0.4581, 0.01);
    // Its reflection is generated from its normals, so it varies over the case.
    float sLow = 1e9f, sHigh = -1e9f;
    double glassRim = 0.0;
    for (const Corner& c : capture.corners) {
        if (IsGlass(c))
            glassRim = std::max(glassRim, std::hypot(c.x, c.y - 0.02));
        else
            sLow = std::min(sLow, c.s), sHigh = std::max(sHigh, c.s);
    }
    EXPECT_GT(sHigh - sLow, 0.5f);
    // The glass in the case's frame: its domes' centres 0.02 above the dial's centre, its rim
    // of radius 3.25 scaled by 2.145 to 6.971, just over the dial.
    EXPECT_TRUE(Has(capture, 0.0, 0.02, 0.814 + 2.145 * 0.153543)) << "outer dome";
    EXPECT_TRUE(Has(capture, 0.0, 0.02, 0.814 + 2.145 * 0.0767715)) << "inner dome";
    EXPECT_NEAR(glassRim, 6.971, 0.01);
}

TEST_F(FrameTest, LightFromTheUpperLeftAndAGlassThatOnlyBrightens) {
    Pose(0.0f, 0.0f);
    // The case's side just outside the dial, lit: the upper left brighter than its neighbours.
    double quadrant[4] = {}; // anticlockwise from the upper right
    for (const Corner& c : CaptureFrame(View{}).corners)
        if (std::hypot(c.x, c.y) > 7.6 && std::hypot(c.x, c.y) < 8.4)
            quadrant[static_cast<int>(std::floor(std::atan2(c.y, c.x) / (M_PI / 2))) & 3] +=
                c.rgba[0];
    EXPECT_GT(quadrant[1], quadrant[0] + 1.0);
    EXPECT_GT(quadrant[1], quadrant[2] + 1.0);
    DrawScene();
    const std::vector<uint8_t> glazed = ReadFrame(Width, Height);
    const Rgb corner = ReadPixel(0, Height - 1);
    EXPECT_TRUE(corner.r == 51 && corner.g == 51 && corner.b == 102) << "dark blue background";
    // Additive: the glass never darkens what lies behind it.
    ShowGlass = 0;
    DrawScene();
    const std::vector<uint8_t> bare = ReadFrame(Width, Height);
    int darker = 0, brighter = 0;
    for (size_t i = 0; i < bare.size(); ++i)
        (glazed[i] < bare[i] ? darker : brighter) += glazed[i] != bare[i];
    EXPECT_EQ(darker, 0);
    EXPECT_GT(brighter, 10000);
}

} // namespace
