// Whole frames: where the camera puts the watch, which parts each key shows, where the case
// and glass sit, how the light and the glass fall, and the state a frame leaves behind.
#include "tests/scene/scene_view.h"

namespace {

using FrameTest = SceneTest;

// At 03:00:00 the hour hand points along +x, the minute hand up; three tips off the axes
// show any turn about x or y, and any shift.
void ExpectHandTips(const Capture& capture) {
    EXPECT_TRUE(SceneTest::Has(capture, 4.0, 0.0, 0.4)) << "hour tip";
    EXPECT_TRUE(SceneTest::Has(capture, 0.0, 6.0, 0.5)) << "minute tip";
    EXPECT_TRUE(SceneTest::Has(capture, 0.0, -2.34, 0.4)) << "seconds tip";
}

TEST_F(FrameTest, SwaysUntilTheFirstClickThenKeepsTheStoredView) {
    // Sway: tilt 30 cos(ms / 300) about x, then spin 30 sin(ms / 300) + 10 about y.
    struct Case {
        int32_t dragMode, elapsedMs;
        float tiltX, spinY, viewX, viewY, viewZ; // set after start-up unless NaN
        int width;
        View expected;
    };
    const float Keep = NAN;
    const Case cases[] = {
        {DragSway, 0, Keep, Keep, Keep, Keep, Keep, 800, {30.0, 10.0}},
        {DragSway, 471, Keep, Keep, Keep, Keep, Keep, 800, {0.0239, 40.0}},
        {DragSway, 942, Keep, Keep, Keep, Keep, Keep, 800, {-30.0, 10.0478}},
        {DragSway, 1414, Keep, Keep, Keep, Keep, Keep, 800, {0.0283, -20.0}},
        {DragSway, 100000, Keep, Keep, Keep, Keep, Keep, 800, {28.4342, 19.5654}},
        {DragSway, 942, Keep, Keep, 2.0f, 1.0f, -40.0f, 800, {-30.0, 10.0478, 2.0, 1.0, -40.0}},
        {DragNone, 942, Keep, Keep, Keep, Keep, Keep, 800, {-5.0, 0.0}},
        {DragRotate, 471, 25.0f, -60.0f, 1.5f, -1.0f, -25.0f, 800, {25.0, -60.0, 1.5, -1.0, -25.0}},
        {DragPan, 0, 0.0f, 0.0f, Keep, Keep, Keep, 400, {0.0, 0.0, 0.0, -2.5, -34.0, false, 400}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "drag " << c.dragMode << " at " << c.elapsedMs);
        fake::SetLocalTime(3, 0, 0);
        DragMode = c.dragMode;
        ElapsedMs = c.elapsedMs;
        for (auto [value, target] : {std::pair{c.tiltX, &TiltX},
                                     {c.spinY, &SpinY},
                                     {c.viewX, &ViewX},
                                     {c.viewY, &ViewY},
                                     {c.viewZ, &ViewZ}})
            if (!std::isnan(value))
                *target = value;
        ResizeScene(c.width, Height);
        ExpectHandTips(CaptureFrame(c.expected));
        ResizeScene(Width, Height);
        TearDown();
        SetUp();
    }
}

TEST_F(FrameTest, KeysShowAndHideThePartsOfTheWatch) {
    struct Case {
        const char* keys;
        bool dial, caseShown, glass, gears, outlines, lighting;
    };
    const Case cases[] = {
        {"", true, true, true, false, false, true},
        {"W", true, true, true, true, true, true},
        {"L", true, true, false, false, false, false},
        {"F", false, true, true, false, false, true},
        {"C", true, false, false, true, false, true},
        {"CL", true, false, false, true, false, false},
        {"WLFC", false, false, false, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        fake::SetLocalTime(3, 0, 0);
        Pose(0.0f, 0.0f);
        PressKeys(c.keys);
        const Capture capture = CaptureFrame(View{});
        auto any = [&](auto test) { return Count(capture, test) > 0; };
        EXPECT_EQ(Has(capture, 0.0, 0.0, 0.3), c.dial) << "dial";
        EXPECT_EQ(Has(capture, 4.0, 0.0, 0.4), c.dial) << "hour hand";
        EXPECT_EQ(any([](const Corner& k) { return std::hypot(k.x, k.y) > 7.6; }), c.caseShown);
        EXPECT_EQ(any([](const Corner& k) { return std::fabs(k.rgba[3] - 0.5f) < 0.01f; }), c.glass)
            << "glass";
        // The 32-tooth wheel's tips, turned over behind the dial.
        EXPECT_EQ(any([](const Corner& k) {
                      return std::fabs(std::hypot(k.x, k.y) - 3.15) < 0.005 &&
                             std::fabs(std::fabs(k.z) - 0.15) < 0.005;
                  }),
                  c.gears)
            << "gears";
        int polygons = 0;
        for (const Primitive& primitive : capture)
            polygons += primitive.polygon;
        EXPECT_EQ(polygons == 0, c.outlines);
        EXPECT_EQ(glIsEnabled(GL_LIGHTING) == GL_TRUE, c.lighting);
        // A held key toggles once: the entries are cleared.
        ApplyKeyToggles();
        EXPECT_EQ(glIsEnabled(GL_LIGHTING) == GL_TRUE, c.lighting) << "keys seen twice";
        TearDown();
        SetUp();
    }
}

TEST_F(FrameTest, EveryFrameLeavesTheStateTheNextOneExpects) {
    for (int flags = 0; flags < 16; ++flags) {
        SCOPED_TRACE(flags);
        Wireframe = flags & 1;
        ShowDial = (flags >> 1) & 1;
        ShowCase = (flags >> 2) & 1;
        ShowGlass = (flags >> 3) & 1;
        glEnable(GL_TEXTURE_2D); // whatever the state before
        DrawScene();
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D) == GL_TRUE, !ShowDial && !ShowCase);
        GLint depth = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        EXPECT_EQ(depth, 1);
    }
    // The pictures are filtered linearly and multiplied by the lit colour.
    GLint mode = 0, minFilter = 0, magFilter = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    glBindTexture(GL_TEXTURE_2D, DialTexture);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
    EXPECT_EQ(mode, GL_MODULATE);
    EXPECT_EQ(minFilter, GL_LINEAR);
    EXPECT_EQ(magFilter, GL_LINEAR);
}

TEST_F(FrameTest, CaseAndGlassSitWhereTheirTablesPutThem) {
    Pose(0.0f, 0.0f);
    ShowDial = 0;
    const Capture capture = CaptureFrame(View{});
    double low[3] = {1e9, 1e9, 1e9}, high[3] = {-1e9, -1e9, -1e9}, glassRim = 0.0;
    for (const Primitive& primitive : capture) {
        for (const Corner& c : primitive.corners) {
            const double p[3] = {c.x, c.y, c.z};
            if (std::fabs(c.rgba[3] - 0.5f) < 0.01f) {
                glassRim = std::max(glassRim, std::hypot(c.x, c.y - 0.02));
                continue;
            }
            for (int axis = 0; axis < 3; ++axis) {
                low[axis] = std::min(low[axis], p[axis]);
                high[axis] = std::max(high[axis], p[axis]);
            }
        }
    }
    // The case: its table's extents, scaled by 3.3 and moved by (0, 2, -1.1); seen from the
    // front, its bezel's lip is the nearest part.
    EXPECT_NEAR(low[0], -8.6924, 0.01);
    EXPECT_NEAR(high[0], 8.6924, 0.01);
    EXPECT_NEAR(low[1], -8.725, 0.01);
    EXPECT_NEAR(high[1], 12.725, 0.01);
    EXPECT_NEAR(high[2], 0.4581, 0.01);
    // The glass in the case's frame: its domes' centres 0.02 above the dial's centre, its rim
    // of radius 3.25 scaled by 2.145 to 6.971, just over the dial.
    EXPECT_TRUE(Has(capture, 0.0, 0.02, 0.814 + 2.145 * 0.153543)) << "outer dome";
    EXPECT_TRUE(Has(capture, 0.0, 0.02, 0.814 + 2.145 * 0.0767715)) << "inner dome";
    EXPECT_NEAR(glassRim, 6.971, 0.01);
    // The reflection is generated from the case's normals, so it varies over the case.
    float sLow = 1e9f, sHigh = -1e9f;
    for (const Primitive& primitive : capture)
        for (const Corner& c : primitive.corners)
            if (c.rgba[3] > 0.99f)
                sLow = std::min(sLow, c.s), sHigh = std::max(sHigh, c.s);
    EXPECT_GT(sHigh - sLow, 0.5f);
}

TEST_F(FrameTest, LightFromTheUpperLeftAndAGlassThatOnlyBrightens) {
    const View front;
    Pose(0.0f, 0.0f);
    DrawScene();
    const Rgb corner = ReadPixel(0, Height - 1);
    EXPECT_NEAR(corner.r, 51, 1);
    EXPECT_NEAR(corner.g, 51, 1);
    EXPECT_NEAR(corner.b, 102, 1);
    // The case's side just outside the dial: upper left against lower right.
    int upperLeft = 0, lowerRight = 0;
    for (double degrees = 115; degrees < 155; degrees += 5) {
        const double a = degrees * M_PI / 180.0;
        upperLeft += Brightness(Probe(front, 8.0 * std::cos(a), 8.0 * std::sin(a), 0.3));
        lowerRight += Brightness(Probe(front, -8.0 * std::cos(a), -8.0 * std::sin(a), 0.3));
    }
    EXPECT_GT(upperLeft, lowerRight + 100);

    // Additive: every point of the dial is at least as bright under the glass.
    std::vector<int> bare, glazed;
    for (int glass : {0, 1}) {
        ShowGlass = glass;
        DrawScene();
        for (double r = 0.5; r < 6.5; r += 0.5)
            for (double a = 0; a < 2 * M_PI; a += M_PI / 8)
                (glass ? glazed : bare)
                    .push_back(Brightness(Probe(front, r * std::cos(a), r * std::sin(a), 0.3)));
    }
    int brighter = 0;
    for (size_t i = 0; i < bare.size(); ++i) {
        EXPECT_GE(glazed[i], bare[i]) << "point " << i;
        brighter += glazed[i] > bare[i];
    }
    EXPECT_GT(brighter, 0);
}

TEST_F(FrameTest, DialShowsItsFaceFromTheFrontAndItsBackFromBehind) {
    PressKeys("LC"); // unlit colours, nothing in front of the dial
    for (float spin : {0.0f, 180.0f}) {
        SCOPED_TRACE(spin);
        Pose(0.0f, spin);
        const Capture capture = CaptureFrame(View{0.0, spin});
        const bool front = spin == 0.0f;
        EXPECT_EQ(Has(capture, 0.0, 0.0, 0.3), front) << "face at 0.3";
        EXPECT_EQ(Has(capture, 0.0, 0.0, 0.4), !front) << "back at 0.4";
        for (const Primitive& primitive : capture)
            for (const Corner& c : primitive.corners)
                if (std::hypot(c.x, c.y) < 0.01 && std::fabs(c.z - 0.35) < 0.06) {
                    EXPECT_NEAR(c.rgba[0], front ? 1.0f : 0.6f, 0.01f);
                    EXPECT_NEAR(c.rgba[2], front ? 1.0f : 0.7f, 0.01f);
                    // The face's picture is pinned by the quadric's coordinates, centre to
                    // centre, not generated.
                    if (front) {
                        EXPECT_NEAR(c.t, 0.5f, 1e-4f);
                    }
                }
    }
}

} // namespace
