// Whole frames: the camera, the parts each key shows and the state they leave, the case, the
// glass, the pictures and the light.
#include <cstring>

#include "tests/scene/scene_view.h"

namespace {

using FrameTest = SceneTest;

// Only the glass is drawn half transparent.
const auto IsGlass = [](const Corner& c) { return std::fabs(c.rgba[3] - 0.5f) < 0.01f; };

TEST_F(FrameTest, SwaysUntilTheFirstClickThenKeepsTheStoredView) {
    // Sway: tilt 30 cos(ms / 300) about x, then spin 30 sin(ms / 300) + 10 about y.
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
        EXPECT_EQ(HasOnCircle(capture, 0, 0, 3.15, 0.15), c.gears) << "the 32-tooth wheel's tips";
        EXPECT_EQ(capture.polygons.empty(), c.outlines);
        EXPECT_EQ(glIsEnabled(GL_LIGHTING) == GL_TRUE, c.lighting);
        ApplyKeyToggles(); // a held key toggles once
        EXPECT_EQ(glIsEnabled(GL_LIGHTING) == GL_TRUE, c.lighting) << "keys seen twice";
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S) || glIsEnabled(GL_TEXTURE_GEN_T));
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST) && !glIsEnabled(GL_BLEND));
        GLint depth = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        EXPECT_EQ(depth, 1);
        TearDown();
        SetUp();
    }
}

TEST_F(FrameTest, CaseAndGlassSitWhereTheirTablesPutThem) {
    Pose(0.0f, 0.0f);
    ShowDial = 0;
    const Capture capture = CaptureFrame(View{});
    // The case: its table's extents, scaled by 3.3 and moved by (0, 2, -1.1).
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
    double glassRim = 0.0;
    for (const Corner& c : capture.corners)
        glassRim = std::max(glassRim, IsGlass(c) ? std::hypot(c.x, c.y - 0.02) : 0.0);
    // The glass: domes centred 0.02 above the dial's centre, rim 3.25 scaled by 2.145.
    EXPECT_TRUE(Has(capture, 0.0, 0.02, 0.814 + 2.145 * 0.153543)) << "outer dome";
    EXPECT_TRUE(Has(capture, 0.0, 0.02, 0.814 + 2.145 * 0.0767715)) << "inner dome";
    EXPECT_NEAR(glassRim, 6.971, 0.01);
}

// An embedded picture's colour at (s, t): a BMP holds the bottom row first, blue first.
Rgb ReadPictureTexel(const char* name, double s, double t) {
    const auto* bmp = static_cast<const uint8_t*>(
        LockResource(LoadResource(nullptr, FindResourceA(nullptr, name, "BMP"))));
    int32_t offset = 0, width = 0, height = 0;
    std::memcpy(&offset, bmp + 10, 4), std::memcpy(&width, bmp + 18, 4);
    std::memcpy(&height, bmp + 22, 4);
    const int column = std::clamp(static_cast<int>(s * width), 0, width - 1);
    const int row = std::clamp(static_cast<int>(t * height), 0, height - 1);
    const uint8_t* pixel = bmp + offset + (static_cast<size_t>(row) * width + column) * 3;
    return {pixel[2], pixel[1], pixel[0]};
}

// The pixel where (x, y, z) of the watch lands in the frame drawn last; false when something
// nearer hides that point.
bool ProbeInSight(const GLdouble* modelView, const GLdouble* projection, double x, double y,
                  double z, Rgb* pixel) {
    GLdouble w[3] = {};
    GLfloat depth = 0;
    gluProject(x, y, z, modelView, projection, SceneTest::Viewport, &w[0], &w[1], &w[2]);
    glReadPixels(int(w[0]), int(w[1]), 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    *pixel = ReadPixel(int(w[0]), int(w[1]));
    return std::fabs(depth - w[2]) < 2e-4;
}

// Unlit, the dial shows its face spread over the disk, the case the reflection at the
// coordinates generated for its corners.
TEST_F(FrameTest, TheDialWearsItsPictureAndTheCaseTheReflection) {
    PressKeys("L");
    Pose(0.0f, 0.0f);
    const Capture capture = CaptureFrame(View{});
    GLdouble modelView[16], projection[16];
    GetMatrices(View{}, modelView, projection);
    DrawScene();
    int seen[2] = {}, matched[2] = {}; // points of the dial and the case, and those that match
    float sLow = 1.0f, sHigh = 0.0f;
    auto probe = [&](int part, double x, double y, double z, Rgb expected) {
        Rgb pixel;
        const bool inSight = ProbeInSight(modelView, projection, x, y, z, &pixel);
        seen[part] += inSight;
        matched[part] += inSight && std::abs(pixel.r - expected.r) < 40 &&
                         std::abs(pixel.g - expected.g) < 40 && std::abs(pixel.b - expected.b) < 40;
    };
    for (double x = -6.5; x <= 6.5; x += 0.5) // the dial's face: the picture spans its diameter
        for (double y = -6.5; y <= 6.5; y += 0.5)
            if (std::hypot(x, y) < 6.5)
                probe(0, x, y, 0.3, ReadPictureTexel("watchFace", 0.5 + x / 13.6, 0.5 + y / 13.6));
    for (const std::vector<Corner>& polygon : capture.polygons) { // probed at its middle
        const double n = static_cast<double>(polygon.size());
        Corner m = {};
        for (const Corner& c : polygon)
            m.x += c.x / n, m.y += c.y / n, m.z += c.z / n, m.s += c.s / n, m.t += c.t / n;
        if (std::hypot(m.x, m.y) < 7.0)
            continue;
        probe(1, m.x, m.y, m.z, ReadPictureTexel("Reflection", m.s, m.t));
        sLow = std::min(sLow, m.s), sHigh = std::max(sHigh, m.s);
    }
    EXPECT_GT(sHigh - sLow, 0.5f) << "the case's coordinates come from its normals";
    EXPECT_GT(seen[0], 400);
    EXPECT_GT(matched[0], seen[0] * 3 / 4) << "the dial";
    EXPECT_GT(seen[1], 1000);
    EXPECT_GT(matched[1], seen[1] * 3 / 4) << "the case";
}

// Unlit, from behind with the case hidden, the dial's back disk (z = 0.4, facing -z) is one
// flat bluish grey (0.6, 0.6, 0.7): the face's picture does not show through, mirrored.
TEST_F(FrameTest, FromBehindTheDialsBackIsPlain) {
    PressKeys("LC");
    Pose(0.0f, 180.0f);
    GLdouble modelView[16], projection[16];
    GetMatrices(View{0.0, 180.0}, modelView, projection);
    DrawScene();
    int seen = 0, plain = 0;
    for (double x = -6.5; x <= 6.5; x += 0.2)
        for (double y = -6.5; y <= 6.5; y += 0.2) {
            Rgb p;
            if (std::hypot(x, y) > 6.5 || !ProbeInSight(modelView, projection, x, y, 0.4, &p))
                continue; // beyond the disk, or behind a gear
            ++seen;
            plain +=
                std::abs(p.r - 153) <= 2 && std::abs(p.g - 153) <= 2 && std::abs(p.b - 178) <= 2;
        }
    EXPECT_GT(seen, 1000);
    EXPECT_EQ(plain, seen);
}

TEST_F(FrameTest, LightFromTheUpperLeftAndAGlassThatOnlyBrightens) {
    Pose(0.0f, 0.0f);
    double quadrant[4] = {}; // the case just outside the dial, anticlockwise from upper right
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
    ShowGlass = 0; // additive: the glass never darkens what lies behind it
    DrawScene();
    const std::vector<uint8_t> bare = ReadFrame(Width, Height);
    int darker = 0, brighter = 0;
    for (size_t i = 0; i < bare.size(); ++i)
        (glazed[i] < bare[i] ? darker : brighter) += glazed[i] != bare[i];
    EXPECT_EQ(darker, 0);
    EXPECT_GT(brighter, 10000);
}

} // namespace
