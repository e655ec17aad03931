// Whole frames of the watch, checked by pixel probes.
#include <vector>

#include "platform/embedded_resources.h"

#include "tests/scene/scene_fixture.h"

namespace {

const Rgb Background = {51, 51, 102};

// The dial picture's pixels as the program embeds them: blue, green, red, bottom row first.
std::vector<uint8_t> ReadDialPicture() {
    for (int i = 0; i < EmbeddedResourceCount; ++i) {
        const EmbeddedResource& resource = EmbeddedResources[i];
        if (std::strcmp(resource.Name, "WATCHFACE") == 0 && resource.Size >= 54 + 256 * 256 * 3)
            return std::vector<uint8_t>(resource.Bytes + 54, resource.Bytes + 54 + 256 * 256 * 3);
    }
    ADD_FAILURE() << "no WATCHFACE resource";
    return std::vector<uint8_t>(256 * 256 * 3);
}

bool Near(Rgb a, Rgb b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

class FrameTest : public SceneTest {
  protected:
    std::vector<uint8_t> Draw() {
        DrawScene();
        glFinish();
        return ReadFrame(Width, Height);
    }
    static Rgb At(const std::vector<uint8_t>& frame, int x, int y) {
        const size_t i = (static_cast<size_t>(y) * Width + x) * 3;
        return {frame[i], frame[i + 1], frame[i + 2]};
    }
    static int CountDiffering(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
        int count = 0;
        for (size_t i = 0; i < a.size(); i += 3)
            count += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
        return count;
    }
    // Pixels of the frame that are neither background nor grey-ish dial/case: the gears are
    // a neutral grey, so count pixels with r = g = b away from white and black.
    static int CountBackground(const std::vector<uint8_t>& frame) {
        int count = 0;
        for (size_t i = 0; i < frame.size(); i += 3)
            count += Near({frame[i], frame[i + 1], frame[i + 2]}, Background, 2);
        return count;
    }
};

TEST_F(FrameTest, DefaultFrameShowsTheWatchOnTheDarkBlueBackground) {
    StartScene();
    const std::vector<uint8_t> frame = Draw();
    for (int x : {0, Width - 1})
        for (int y : {0, Height - 1})
            EXPECT_TRUE(Near(At(frame, x, y), Background, 1)) << x << "," << y;
    // The watch fills the middle, somewhat below the centre of the window.
    int x, y;
    DialToWindow(0.0, 0.0, 0.3, x, y);
    EXPECT_FALSE(Near(At(frame, x, y), Background, 10));
    const int covered = Width * Height - CountBackground(frame);
    EXPECT_GT(covered, 60000) << "the case is about 2 x 8.5 units across at 34 units";
    EXPECT_LT(covered, Width * Height / 2);
}

TEST_F(FrameTest, SwayMovesTheWatchUntilTheFirstClick) {
    StartScene();
    ElapsedMs = 0;
    const std::vector<uint8_t> first = Draw();
    ElapsedMs = 700; // about a third of a sway period on
    const std::vector<uint8_t> later = Draw();
    EXPECT_GT(CountDiffering(first, later), 5000);

    // After a click the pose is the stored one, whatever the clock says.
    DragMode = DragNone;
    const std::vector<uint8_t> posed = Draw();
    ElapsedMs = 1400;
    EXPECT_EQ(CountDiffering(posed, Draw()), 0) << "nothing in the default frame moves";
}

TEST_F(FrameTest, DialShowsItsPictureUprightWithTheLightingOff) {
    StartScene();
    Pose(0.0f, 0.0f);
    ShowCase = 0; // no case, so no glass over the dial
    glDisable(GL_LIGHTING);
    fake::SetLocalTime(12, 0, 0); // hands straight up, out of the lower half
    const std::vector<uint8_t> frame = Draw();

    // Unlit and modulated by white, the dial shows the picture's own pixels: compare the
    // lower half of the dial (away from the hands) texel by texel with the embedded file.
    const std::vector<uint8_t> picture = ReadDialPicture();
    long difference = 0;
    int samples = 0, dark = 0;
    for (int py = 20; py < 120; py += 3) {
        for (int px = 20; px < 236; px += 3) {
            const double s = (px + 0.5) / 256.0, t = (py + 0.5) / 256.0;
            const double dx = (s - 0.5) * 2 * 6.8, dy = (t - 0.5) * 2 * 6.8;
            if (dx * dx + dy * dy > 6.5 * 6.5)
                continue;
            int x, y;
            DialToWindow(dx, dy, 0.3, x, y);
            const Rgb seen = At(frame, x, y);
            const uint8_t* texel = &picture[(static_cast<size_t>(py) * 256 + px) * 3];
            difference += std::abs(seen.r - texel[2]) + std::abs(seen.g - texel[1]) +
                          std::abs(seen.b - texel[0]);
            dark += Brightness(seen) < 200;
            ++samples;
        }
    }
    ASSERT_GT(samples, 500);
    EXPECT_LT(difference / (3.0 * samples), 24.0) << "mean difference per channel";
    EXPECT_GT(dark, 5) << "numerals and strokes show dark on the white dial";
}

TEST_F(FrameTest, MissingDialPictureLeavesAPlainWhiteDialAndTheProgramRunning) {
    fake::RemoveResource("WATCHFACE");
    StartScene();
    ASSERT_EQ(fake::MessageBoxes().size(), 1u);
    EXPECT_EQ(fake::MessageBoxes()[0].text, "File not found in resource - watchFace.bmp");
    EXPECT_EQ(DialTexture, 0u);
    EXPECT_TRUE(glIsTexture(ReflectionTexture));

    Pose(0.0f, 0.0f);
    ShowCase = 0;
    glDisable(GL_LIGHTING);
    fake::SetLocalTime(12, 0, 0);
    const std::vector<uint8_t> frame = Draw();
    for (double degrees = 200; degrees < 340; degrees += 10) {
        int x, y;
        const double a = degrees * M_PI / 180.0;
        DialToWindow(5.0 * std::cos(a), 5.0 * std::sin(a), 0.3, x, y);
        EXPECT_TRUE(Near(At(frame, x, y), {255, 255, 255}, 1)) << degrees;
    }
}

TEST_F(FrameTest, DialFromBehindShowsOnlyItsBluishBack) {
    StartScene();
    glDisable(GL_LIGHTING);
    for (float spin : {0.0f, 180.0f}) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glTranslatef(ViewX, ViewY, ViewZ);
        glRotatef(spin, 0.0f, 1.0f, 0.0f);
        glCallList(DialList);
        glFinish();
        int x, y;
        DialToWindow(2.0, -2.0, 0.3, x, y); // mirrored by the half turn, still on the dial
        const Rgb seen = ReadPixel(x, y);
        if (spin == 0.0f)
            EXPECT_TRUE(Near(seen, {255, 255, 255}, 30)) << "the white face";
        else
            EXPECT_TRUE(Near(seen, {153, 153, 178}, 2)) << "the back, untextured";
        // The list leaves texturing off and white as the colour, whatever came before.
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        GLfloat colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_FLOAT_EQ(colour[0], 1.0f);
        EXPECT_FLOAT_EQ(colour[2], 1.0f);
    }
}

TEST_F(FrameTest, GlassBrightensWhatIsBehindItAndRestoresDepthAndBlend) {
    StartScene();
    Pose(0.0f, 0.0f);
    ShowGlass = 0; // the lighting stays on: only the glass goes
    const std::vector<uint8_t> bare = Draw();
    ShowGlass = 1;
    const std::vector<uint8_t> glazed = Draw();
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    int brighter = 0, darker = 0;
    for (double r = 0.5; r < 6.5; r += 0.5) {
        for (double a = 0; a < 2 * M_PI; a += M_PI / 8) {
            int x, y;
            DialToWindow(r * std::cos(a), r * std::sin(a), 0.3, x, y);
            const int before = Brightness(At(bare, x, y)), after = Brightness(At(glazed, x, y));
            brighter += after > before;
            darker += after < before;
        }
    }
    EXPECT_EQ(darker, 0) << "additive blending never darkens";
    EXPECT_GT(brighter, 0);
}

TEST_F(FrameTest, CaseIsLitFromTheUpperLeftAndCarriesTheReflection) {
    StartScene();
    Pose(0.0f, 0.0f);
    const std::vector<uint8_t> frame = Draw();
    // Sample the case's side just outside the dial: upper left against lower right.
    auto ring = [&](double fromDegrees) {
        int sum = 0;
        for (double a = fromDegrees; a < fromDegrees + 40; a += 5) {
            int x, y;
            const double r = a * M_PI / 180.0;
            DialToWindow(8.0 * std::cos(r), -0.0326 + 8.0 * std::sin(r), 0.3, x, y);
            sum += Brightness(At(frame, x, y));
        }
        return sum;
    };
    EXPECT_GT(ring(115), ring(295)) << "the light comes from the upper left";

    // Without its picture the case looks different: the reflection is on it.
    fake::Reset();
    fake::RemoveResource("REFLECTION");
    RestartScene();
    Pose(0.0f, 0.0f);
    const std::vector<uint8_t> plain = Draw();
    EXPECT_GT(CountDiffering(frame, plain), 2000);
}

TEST_F(FrameTest, CaseKeyHidesTheCaseAndShowsTheTurningGears) {
    StartScene();
    Pose(0.0f, 180.0f); // from behind, where the works are
    const std::vector<uint8_t> closed = Draw();
    KeyDown['C'] = 1;
    ApplyKeyToggles();
    ElapsedMs = 0;
    const std::vector<uint8_t> open = Draw();
    ElapsedMs = 500;
    const std::vector<uint8_t> moved = Draw();

    int grey = 0;
    for (size_t i = 0; i < open.size(); i += 3) {
        const Rgb c = {open[i], open[i + 1], open[i + 2]};
        grey += c.r == c.g && c.g == c.b && c.r > 40 && c.r < 250;
    }
    EXPECT_GT(grey, 2000) << "grey gears";
    EXPECT_GT(CountDiffering(closed, open), 5000);
    EXPECT_GT(CountDiffering(open, moved), 500) << "the train turns with the clock";
}

TEST_F(FrameTest, WireframeOutlinesEverythingAndShowsTheWorks) {
    StartScene();
    Pose(0.0f, 0.0f);
    const std::vector<uint8_t> solid = Draw();
    KeyDown['W'] = 1;
    ApplyKeyToggles();
    const std::vector<uint8_t> outlined = Draw();
    // Outlines leave most of the watch's area showing the background.
    EXPECT_GT(CountBackground(outlined), CountBackground(solid) + 20000);
}

TEST_F(FrameTest, LightingKeyRemovesTheGlassAndTheShading) {
    StartScene();
    Pose(0.0f, 0.0f);
    KeyDown['L'] = 1;
    ApplyKeyToggles();
    EXPECT_EQ(ShowGlass, 0);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    const std::vector<uint8_t> unlit = Draw();
    // Unlit and unglazed, the white of the dial is the picture's pure white.
    int white = 0;
    for (double a = 0; a < 2 * M_PI; a += M_PI / 16) {
        int x, y;
        DialToWindow(6.6 * std::cos(a), 6.6 * std::sin(a), 0.3, x, y);
        white += Near(At(unlit, x, y), {255, 255, 255}, 3);
    }
    EXPECT_GT(white, 20);
}

TEST_F(FrameTest, DialKeyHidesTheDialAndTheHands) {
    StartScene();
    Pose(0.0f, 0.0f);
    ShowCase = 0;
    KeyDown['F'] = 1;
    ApplyKeyToggles();
    const std::vector<uint8_t> frame = Draw();
    // The works behind the dial are now seen from the front.
    int x, y;
    DialToWindow(0.0, 0.0, 0.3, x, y);
    EXPECT_FALSE(Near(At(frame, x, y), {255, 255, 255}, 20));
}

} // namespace
