// The scene's one-time GL set-up, its projection, and the home of its shared state.
#include "scene/scene.h"

#include "BMP2/bmp2.h"
#include "scene/gear_train.h"
#include "scene/scene_state.h"
#include "scene/watch_body.h"
#include "shell/shell_state.h"

uint8_t Wireframe = 0;
uint8_t ShowDial = 0;
uint8_t ShowCase = 0;
uint8_t ShowGlass = 0;

GLuint CaseList = 0;
GLuint GlassList = 0;
GLuint DialList = 0;
GLuint Wheel32List = 0;
GLuint Pinion11List = 0;
GLuint Wheel24List = 0;
GLuint Pinion7List = 0;

GLuint DialTexture = 0;
GLuint ReflectionTexture = 0;

GLUquadric* Quadric = nullptr;

namespace {

// A directional light (w = 0) from the upper left, slightly in front of the screen. It is
// given while the model-view matrix is the identity, so it stays fixed to the viewer.
const GLfloat LightPosition[] = {-18.0f, 15.0f, 3.0f, 0.0f};
const GLfloat Shininess[] = {50.0f};

void SetFixedState() {
    glClearColor(0.2f, 0.2f, 0.4f, 0.0f);
    glShadeModel(GL_SMOOTH);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    // Additive: the glass brightens what lies behind it. Blending itself is switched on
    // only inside the glass list.
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glLightfv(GL_LIGHT0, GL_POSITION, LightPosition);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_LIGHTING);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHT0);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SHININESS, Shininess);
    // The case and glass lists scale their meshes; renormalising keeps the lighting right.
    glEnable(GL_NORMALIZE);
    glEnable(GL_TEXTURE_2D);
}

void LoadTextures() {
    // A picture that cannot be loaded has already been reported; its texture stays 0 and
    // the part it belongs to is drawn plain.
    LoadBmpTexture("watchFace.bmp", DialTexture);
    LoadBmpTexture("Reflection.bmp", ReflectionTexture);
}

void CreateQuadric() {
    // The disks and cylinders recorded into the lists keep the normals and texture
    // coordinates these settings give them, so the quadric is set up before any list.
    Quadric = gluNewQuadric();
    // Out of memory: the watch is drawn without its disks and cylinders.
    if (Quadric == nullptr)
        return;
    gluQuadricNormals(Quadric, GLU_SMOOTH);
    gluQuadricTexture(Quadric, GL_TRUE);
}

void SetDefaults() {
    Wireframe = 0;
    ShowDial = 1;
    ShowCase = 1;
    ShowGlass = 1;
    // SpinY keeps its load value: the view starts square to the eye about y.
    TiltX = -5.0f;
    ViewX = 0.0f;
    ViewY = -2.5f;
    ViewZ = -34.0f;
    DragMode = DragSway;
}

} // namespace

void RecordList(GLuint& list, void (*record)()) {
    list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    record();
    glEndList();
}

void DrawQuadricDisk(double innerRadius, double outerRadius, GLint slices) {
    if (Quadric != nullptr)
        gluDisk(Quadric, innerRadius, outerRadius, slices, 1);
}

void DrawQuadricCylinder(double radius, double length, GLint slices) {
    if (Quadric != nullptr)
        gluCylinder(Quadric, radius, radius, length, slices, 1);
}

void InitScene() {
    SetFixedState();
    LoadTextures();
    CreateQuadric();
    glTexGenf(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGenf(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    // The lists bind the texture names the variables hold now, so the textures come first.
    BuildWatchBodyLists();
    BuildGearLists();
    SetDefaults();
}

void ResizeScene(int32_t width, int32_t height) {
    // A minimised window reports a height of 0; 1 keeps the aspect ratio finite.
    if (height == 0)
        height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(width) / static_cast<double>(height), 1.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
