// Set-up, projection and key toggles of the scene, on a real GL context.
#include "tests/scene/scene_fixture.h"

namespace {

bool Enabled(GLenum capability) {
    return glIsEnabled(capability) == GL_TRUE;
}

void ExpectMatrixNear(GLenum which, const GLdouble* expected) {
    GLdouble actual[16];
    glGetDoublev(which, actual);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-5) << "element " << i;
}

// The perspective matrix of a 45 degree vertical field, near 1 and far 100.
void Perspective(double aspect, GLdouble* m) {
    const double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
    for (int i = 0; i < 16; ++i)
        m[i] = 0.0;
    m[0] = f / aspect;
    m[5] = f;
    m[10] = (100.0 + 1.0) / (1.0 - 100.0);
    m[11] = -1.0;
    m[14] = 2.0 * 100.0 * 1.0 / (1.0 - 100.0);
}

using SceneSetupTest = SceneTest;

TEST_F(SceneSetupTest, StartsWithTheDefaultViewFlagsAndSway) {
    // A drag dispatched by a start-up message box may already have turned the watch about
    // y; the set-up leaves that spin alone and resets the rest.
    SpinY = 12.5f;
    TiltX = ViewZ = 3.0f;
    StartScene();
    EXPECT_EQ(DragMode, DragSway);
    EXPECT_FLOAT_EQ(SpinY, 12.5f);
    EXPECT_FLOAT_EQ(TiltX, -5.0f);
    EXPECT_FLOAT_EQ(ViewX, 0.0f);
    EXPECT_FLOAT_EQ(ViewY, -2.5f);
    EXPECT_FLOAT_EQ(ViewZ, -34.0f);
    EXPECT_EQ(Wireframe, 0);
    EXPECT_EQ(ShowDial + ShowCase + ShowGlass, 3);
    EXPECT_TRUE(fake::MessageBoxes().empty()) << "both pictures load";
}

TEST_F(SceneSetupTest, SetsTheFixedGlState) {
    StartScene();
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[0], 0.2f);
    EXPECT_FLOAT_EQ(clear[1], 0.2f);
    EXPECT_FLOAT_EQ(clear[2], 0.4f);
    EXPECT_FLOAT_EQ(clear[3], 0.0f);

    for (GLenum on : {GL_DEPTH_TEST, GL_LIGHTING, GL_LIGHT0, GL_COLOR_MATERIAL, GL_CULL_FACE,
                      GL_NORMALIZE, GL_TEXTURE_2D})
        EXPECT_TRUE(Enabled(on)) << std::hex << on;
    for (GLenum off : {GL_BLEND, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T})
        EXPECT_FALSE(Enabled(off)) << std::hex << off;

    GLint value = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LESS);
    glGetIntegerv(GL_BLEND_SRC, &value);
    EXPECT_EQ(value, GL_SRC_ALPHA);
    glGetIntegerv(GL_BLEND_DST, &value);
    EXPECT_EQ(value, GL_ONE);
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_SMOOTH) << "the gear lists switch to flat and back";
    glGetTexGeniv(GL_S, GL_TEXTURE_GEN_MODE, &value);
    EXPECT_EQ(value, GL_SPHERE_MAP);
    glGetTexGeniv(GL_T, GL_TEXTURE_GEN_MODE, &value);
    EXPECT_EQ(value, GL_SPHERE_MAP);

    // Given under the identity, the light stays where it was put, relative to the eye.
    GLfloat light[4];
    glGetLightfv(GL_LIGHT0, GL_POSITION, light);
    EXPECT_FLOAT_EQ(light[0], -18.0f);
    EXPECT_FLOAT_EQ(light[1], 15.0f);
    EXPECT_FLOAT_EQ(light[2], 3.0f);
    EXPECT_FLOAT_EQ(light[3], 0.0f);
    GLfloat shininess[2] = {};
    glGetMaterialfv(GL_FRONT, GL_SHININESS, shininess);
    EXPECT_FLOAT_EQ(shininess[0], 50.0f);
    glGetMaterialfv(GL_BACK, GL_SHININESS, shininess);
    EXPECT_FLOAT_EQ(shininess[0], 50.0f);
}

TEST_F(SceneSetupTest, RecordsSevenListsAndTwoTextures) {
    StartScene();
    const GLuint lists[] = {CaseList,     GlassList,   DialList,   Wheel32List,
                            Pinion11List, Wheel24List, Pinion7List};
    for (GLuint list : lists)
        EXPECT_TRUE(glIsList(list)) << list;
    // Recorded in this order, one name at a time.
    for (size_t i = 1; i < sizeof lists / sizeof lists[0]; ++i)
        EXPECT_LT(lists[i - 1], lists[i]);
    EXPECT_TRUE(glIsTexture(DialTexture));
    EXPECT_TRUE(glIsTexture(ReflectionTexture));
    EXPECT_NE(DialTexture, ReflectionTexture);
}

TEST_F(SceneSetupTest, ResizeSetsViewportAndPerspective) {
    struct Case {
        int width, height;
        int viewportHeight;
        double aspect;
    };
    const Case cases[] = {
        {800, 600, 600, 800.0 / 600.0},
        {792, 573, 573, 792.0 / 573.0},
        {300, 0, 1, 300.0}, // a height of 0 counts as 1, for the aspect too
    };
    for (const Case& c : cases) {
        ResizeScene(c.width, c.height);
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[0], 0);
        EXPECT_EQ(viewport[1], 0);
        EXPECT_EQ(viewport[2], c.width);
        EXPECT_EQ(viewport[3], c.viewportHeight);
        GLdouble expected[16];
        Perspective(c.aspect, expected);
        ExpectMatrixNear(GL_PROJECTION_MATRIX, expected);
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
        const GLdouble identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        ExpectMatrixNear(GL_MODELVIEW_MATRIX, identity);
    }
}

TEST_F(SceneSetupTest, MinimisedWindowDrawsNothingAndARealSizeRestoresThePicture) {
    StartScene();
    Pose(-5.0f, 0.0f);
    ResizeScene(0, 0);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 0);
    EXPECT_EQ(viewport[3], 1);
    DrawScene(); // must not fail with an empty viewport and a zero aspect

    ResizeScene(Width, Height);
    DrawScene();
    glFinish();
    int x, y;
    DialToWindow(0.0, 3.0, 0.3, x, y);
    const Rgb dial = ReadPixel(x, y);
    EXPECT_GT(Brightness(dial), Brightness({51, 51, 102})) << "the dial is back";
}

struct ToggleState {
    uint8_t wireframe, glass, dial, watchCase;
};

ToggleState Flags() {
    return {Wireframe, ShowGlass, ShowDial, ShowCase};
}

TEST_F(SceneSetupTest, KeysFlipTheirFlagsOncePerPressAndPairTheGlState) {
    StartScene();

    // All four pressed between two frames: all applied, each entry consumed.
    for (int key : {'W', 'L', 'F', 'C'})
        KeyDown[key] = 1;
    ApplyKeyToggles();
    ToggleState flags = Flags();
    EXPECT_EQ(flags.wireframe, 1);
    EXPECT_EQ(flags.glass, 0);
    EXPECT_EQ(flags.dial, 0);
    EXPECT_EQ(flags.watchCase, 0);
    for (int key : {'W', 'L', 'F', 'C'})
        EXPECT_EQ(KeyDown[key], 0) << static_cast<char>(key);

    GLint polygonMode[2];
    glGetIntegerv(GL_POLYGON_MODE, polygonMode);
    EXPECT_EQ(polygonMode[0], GL_LINE);
    EXPECT_EQ(polygonMode[1], GL_LINE);
    EXPECT_FALSE(Enabled(GL_LIGHTING));

    // A key held without a further key-down message toggles nothing more.
    ApplyKeyToggles();
    EXPECT_EQ(Flags().wireframe, 1);
    EXPECT_EQ(Flags().glass, 0);

    // Pressed again: back to the defaults, with the GL state following.
    KeyDown['W'] = 1;
    KeyDown['L'] = 1;
    ApplyKeyToggles();
    glGetIntegerv(GL_POLYGON_MODE, polygonMode);
    EXPECT_EQ(polygonMode[0], GL_FILL);
    EXPECT_EQ(polygonMode[1], GL_FILL);
    EXPECT_TRUE(Enabled(GL_LIGHTING));
    EXPECT_EQ(Flags().wireframe, 0);
    EXPECT_EQ(Flags().glass, 1);
}

TEST_F(SceneSetupTest, OtherKeysToggleNothing) {
    StartScene();
    for (int key : std::initializer_list<int>{'w', 'l', 'f', 'c', 'A', 27, 0, 255})
        KeyDown[key] = 1;
    ApplyKeyToggles();
    EXPECT_EQ(Flags().wireframe, 0);
    EXPECT_EQ(Flags().glass, 1);
    EXPECT_EQ(Flags().dial, 1);
    EXPECT_EQ(Flags().watchCase, 1);
    EXPECT_EQ(KeyDown['A'], 1) << "only the four toggle keys are consumed";
}

} // namespace
