// The gear and spoke emitters: what they send to the GL (recorded at the link seam) and what
// the GL makes of it when a list is replayed (feedback mode, after culling).
#include <cmath>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "platform/opengl.h"
#include "scene/gear_geometry.h"
#include "scene/gear_train.h"
#include "scene/scene_state.h"
#include "tests/gears/gl_recording.h"
#include "tests/support/gl_context.h"

namespace {

struct GearCase {
    int32_t teeth;
    float bore;
    float pitch;
};

// The four gears of the train.
const GearCase TrainGears[] = {
    {32, 2.5f, 3.0f}, {24, 1.5f, 2.0f}, {11, 0.0f, 0.8f}, {7, 0.1f, 0.6f}};

struct Vec3 {
    double x, y, z;
};

Vec3 ToVec(const float v[3]) {
    return {v[0], v[1], v[2]};
}
Vec3 Cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
double Length(Vec3 a) {
    return std::sqrt(Dot(a, a));
}

// The corners of each quad in the order the GL walks its edges: a strip's quad k is
// v(2k), v(2k+1), v(2k+3), v(2k+2). The last corner is the one whose normal lights the quad
// under flat shading.
std::vector<std::vector<RecordedVertex>> SplitIntoQuads(const RecordedPrimitive& primitive) {
    std::vector<std::vector<RecordedVertex>> quads;
    const auto& v = primitive.vertices;
    if (primitive.mode == GL_QUADS) {
        for (size_t i = 0; i + 3 < v.size(); i += 4)
            quads.push_back({v[i], v[i + 1], v[i + 2], v[i + 3]});
    } else if (primitive.mode == GL_QUAD_STRIP) {
        for (size_t i = 0; i + 3 < v.size(); i += 2)
            quads.push_back({v[i], v[i + 1], v[i + 3], v[i + 2]});
    }
    return quads;
}

// Twice the quad's area along its facing (Newell's method): it points to the side from
// which the corners run counter-clockwise.
Vec3 GetFacing(const std::vector<RecordedVertex>& quad) {
    Vec3 sum = {0, 0, 0};
    for (size_t i = 0; i < quad.size(); ++i) {
        const Vec3 c = Cross(ToVec(quad[i].position), ToVec(quad[(i + 1) % quad.size()].position));
        sum = {sum.x + c.x, sum.y + c.y, sum.z + c.z};
    }
    return sum;
}

// Every quad with an area winds counter-clockwise seen from where its lighting normal
// points: for flat-shaded quads the last corner's normal, for smooth ones every corner's.
void ExpectEveryQuadFacesItsNormal(const std::vector<RecordedPrimitive>& primitives) {
    for (size_t p = 0; p < primitives.size(); ++p) {
        const auto quads = SplitIntoQuads(primitives[p]);
        for (size_t q = 0; q < quads.size(); ++q) {
            const Vec3 facing = GetFacing(quads[q]);
            if (Length(facing) < 1e-9)
                continue;
            for (const RecordedVertex& corner : quads[q]) {
                if (primitives[p].shadeModel == GL_FLAT && &corner != &quads[q].back())
                    continue;
                EXPECT_GT(Dot(facing, ToVec(corner.normal)), 0.0)
                    << "primitive " << p << ", quad " << q;
            }
        }
    }
}

std::vector<RecordedPrimitive> RecordGear(const GearCase& gear) {
    StartGlRecording();
    BuildGear(gear.teeth, gear.bore, gear.pitch, 0.3f, 0.3f);
    return StopGlRecording();
}

class GearGeometry : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_TRUE(MakeOffscreenContext(64, 64)); }
    static void TearDownTestSuite() { DestroyOffscreenContext(); }
};

TEST_F(GearGeometry, GearEmitsSixPrimitivesOf28nPlus12Vertices) {
    for (const GearCase& gear : TrainGears) {
        const int32_t n = gear.teeth;
        const auto primitives = RecordGear(gear);
        ASSERT_EQ(primitives.size(), 6u) << n << " teeth";
        const GLenum modes[6] = {GL_QUAD_STRIP, GL_QUAD_STRIP, GL_QUADS,
                                 GL_QUADS,      GL_QUAD_STRIP, GL_QUAD_STRIP};
        const size_t counts[6] = {4u * (n + 1), 4u * (n + 1), 4u * n,
                                  4u * n,       8u * n + 2,   4u * n + 2};
        size_t total = 0;
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(primitives[i].mode, modes[i]) << n << " teeth, primitive " << i;
            EXPECT_EQ(primitives[i].vertices.size(), counts[i]) << n << " teeth, primitive " << i;
            total += primitives[i].vertices.size();
        }
        EXPECT_EQ(total, 28u * n + 12) << n << " teeth";
        // Faces, tooth faces and outline flat; the bore smooth, and smooth left behind.
        EXPECT_EQ(RecordedShadeModels(), (std::vector<GLenum>{GL_FLAT, GL_SMOOTH}));
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(primitives[i].shadeModel, GLenum(GL_FLAT));
        EXPECT_EQ(primitives[5].shadeModel, GLenum(GL_SMOOTH));
    }
}

TEST_F(GearGeometry, EveryGearFaceWindsTowardsItsNormal) {
    for (const GearCase& gear : TrainGears) {
        SCOPED_TRACE(gear.teeth);
        ExpectEveryQuadFacesItsNormal(RecordGear(gear));
    }
}

// Under flat shading each outline quad is lit by the normal at its last pair: rising flank,
// tip land, falling flank, root land, tooth after tooth. Only the falling flank's normal is
// left at the flank's length, about a third.
TEST_F(GearGeometry, OutlineNormalsAreUnitExceptTheFallingFlank) {
    for (const GearCase& gear : TrainGears) {
        const auto outline = SplitIntoQuads(RecordGear(gear)[4]);
        ASSERT_EQ(outline.size(), 4u * gear.teeth + 0u);
        for (size_t q = 0; q < outline.size(); ++q) {
            const double length = Length(ToVec(outline[q].back().normal));
            if (q % 4 == 2) {
                EXPECT_NEAR(length, 0.33, 0.02) << gear.teeth << " teeth, quad " << q;
            } else {
                EXPECT_NEAR(length, 1.0, 1e-6) << gear.teeth << " teeth, quad " << q;
            }
            EXPECT_EQ(outline[q].back().normal[2], 0.0f);
        }
    }
}

TEST_F(GearGeometry, RootAndTipRadiiAndQuarterStepOfTheLargeWheel) {
    const auto outline = RecordGear(TrainGears[0])[4].vertices;
    const double quarterStep = 2.8125 * 3.14159265358979323846 / 180.0;
    EXPECT_FLOAT_EQ(outline[0].position[0], 2.85f);
    EXPECT_FLOAT_EQ(outline[0].position[1], 0.0f);
    EXPECT_FLOAT_EQ(outline[0].position[2], 0.15f);
    EXPECT_FLOAT_EQ(outline[1].position[2], -0.15f);
    EXPECT_NEAR(outline[2].position[0], 3.15 * std::cos(quarterStep), 1e-6);
    EXPECT_NEAR(outline[2].position[1], 3.15 * std::sin(quarterStep), 1e-6);
    // The strip closes where it began.
    EXPECT_FLOAT_EQ(outline[outline.size() - 2].position[0], 2.85f);
    EXPECT_FLOAT_EQ(outline[outline.size() - 2].position[1], 0.0f);
}

TEST_F(GearGeometry, SpokeBarsAreFourOpenSidesOfTwoBars) {
    const float bars[][2] = {{0.3f, 2.51f}, {0.0f, 1.51f}};
    for (const auto& bar : bars) {
        StartGlRecording();
        BuildSpokeBar(bar[0], bar[1]);
        const auto primitives = StopGlRecording();
        ASSERT_EQ(primitives.size(), 1u);
        ASSERT_EQ(primitives[0].mode, GLenum(GL_QUADS));
        ASSERT_EQ(primitives[0].vertices.size(), 32u);
        ExpectEveryQuadFacesItsNormal(primitives);
        // Quads alternate between the +x bar and the -x bar, each spanning its whole length.
        const auto quads = SplitIntoQuads(primitives[0]);
        for (size_t q = 0; q < quads.size(); ++q) {
            const float sign = q % 2 == 0 ? 1.0f : -1.0f;
            float low = 1e9f;
            float high = -1e9f;
            for (const RecordedVertex& corner : quads[q]) {
                low = std::fmin(low, sign * corner.position[0]);
                high = std::fmax(high, sign * corner.position[0]);
                EXPECT_FLOAT_EQ(std::fabs(corner.position[1]), 0.15f);
                EXPECT_FLOAT_EQ(std::fabs(corner.position[2]), 0.15f);
            }
            EXPECT_FLOAT_EQ(low, bar[0]);
            EXPECT_FLOAT_EQ(high, bar[1]);
            // A plain rectangle, not a bow-tie: twice its area is 2 (b - a) 0.3.
            EXPECT_NEAR(Length(GetFacing(quads[q])), 0.6 * (bar[1] - bar[0]), 1e-5);
        }
    }
}

// What reaches the GL from a replayed list, after culling, in window coordinates.
struct FeedbackPolygon {
    std::vector<Vec3> corners;
};

std::vector<FeedbackPolygon> ReplayInFeedback(GLuint list) {
    std::vector<GLfloat> buffer(1 << 18);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glCallList(list);
    const GLint used = glRenderMode(GL_RENDER);
    EXPECT_GE(used, 0) << "feedback buffer overflowed";
    std::vector<FeedbackPolygon> polygons;
    for (GLint i = 0; i < used;) {
        const GLint token = static_cast<GLint>(buffer[i++]);
        EXPECT_EQ(token, GL_POLYGON_TOKEN);
        if (token != GL_POLYGON_TOKEN)
            break;
        const GLint count = static_cast<GLint>(buffer[i++]);
        FeedbackPolygon polygon;
        for (GLint c = 0; c < count && i + 2 < used; ++c, i += 3)
            polygon.corners.push_back({buffer[i], buffer[i + 1], buffer[i + 2]});
        polygons.push_back(polygon);
    }
    return polygons;
}

// However the GL splits a polygon, a polygon of k corners is worth k - 2 triangles.
size_t CountTriangles(const std::vector<FeedbackPolygon>& polygons) {
    size_t triangles = 0;
    for (const FeedbackPolygon& polygon : polygons)
        triangles += polygon.corners.size() - 2;
    return triangles;
}

double GetWindowArea(const FeedbackPolygon& polygon) {
    double twiceArea = 0.0;
    const auto& c = polygon.corners;
    for (size_t i = 0; i < c.size(); ++i)
        twiceArea += c[i].x * c[(i + 1) % c.size()].y - c[(i + 1) % c.size()].x * c[i].y;
    return std::fabs(twiceArea) / 2.0;
}

GLuint CompileGear(const GearCase& gear) {
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    BuildGear(gear.teeth, gear.bore, gear.pitch, 0.3f, 0.3f);
    glEndList();
    return list;
}

// An orthographic view straight down the gear's axis from +z: window depth is 0.5 - z/20,
// so the front face (z = +0.15) lies at 0.4925 and the back face at 0.5075.
constexpr double NearFaceDepth = 0.4925;
constexpr double FarFaceDepth = 0.5075;

void LookAlongAxis(bool fromBehind) {
    glViewport(0, 0, 64, 64);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-4, 4, -4, 4, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (fromBehind)
        glRotatef(180.0f, 0.0f, 1.0f, 0.0f);
}

// Each quad of the emitted primitives is two triangles to the GL: the face strips
// 4(n + 1) - 2, the tooth faces 2n each, the outline 8n and the bore 4n; 24n + 4 in all.
TEST_F(GearGeometry, ReplayedListReachesTheGlWhole) {
    glDisable(GL_CULL_FACE);
    LookAlongAxis(false);
    for (const GearCase& gear : TrainGears) {
        const auto polygons = ReplayInFeedback(CompileGear(gear));
        EXPECT_EQ(CountTriangles(polygons), 24u * gear.teeth + 4) << gear.teeth << " teeth";
    }
}

bool LiesAtDepth(const FeedbackPolygon& polygon, double depth) {
    for (const Vec3& corner : polygon.corners)
        if (std::fabs(corner.z - depth) > 1e-5)
            return false;
    return true;
}

// Seen down the axis from either side, only the face towards the eye survives back-face
// culling: the front face and front tooth faces from +z, the back ones from -z. The outline
// and the bore stand edge-on; rounding in the transform leaves at most slivers of them.
TEST_F(GearGeometry, CullingKeepsOnlyTheFaceTowardsTheEye) {
    glEnable(GL_CULL_FACE);
    for (const GearCase& gear : TrainGears) {
        const GLuint list = CompileGear(gear);
        for (bool fromBehind : {false, true}) {
            LookAlongAxis(fromBehind);
            size_t nearTriangles = 0;
            for (const FeedbackPolygon& polygon : ReplayInFeedback(list)) {
                if (LiesAtDepth(polygon, NearFaceDepth)) {
                    nearTriangles += polygon.corners.size() - 2;
                    continue;
                }
                EXPECT_FALSE(LiesAtDepth(polygon, FarFaceDepth)) << gear.teeth << " teeth";
                EXPECT_LT(GetWindowArea(polygon), 1e-3) << gear.teeth << " teeth";
            }
            // Every quad of the face ring and of the teeth, less those of a solid gear's ring
            // that have shrunk to a line on the axis.
            const size_t expected = gear.bore > 0.0f ? 6u * gear.teeth + 2 : 4u * gear.teeth + 1;
            EXPECT_EQ(nearTriangles, expected) << gear.teeth << " teeth, behind " << fromBehind;
        }
    }
    glDisable(GL_CULL_FACE);
}

// The 32-tooth wheel: four spokes at right angles between hub and rim, and a hub whose
// inner wall faces the axis.
TEST_F(GearGeometry, LargeWheelHasFourSpokesAndAHubOpenToItsArbor) {
    Quadric = gluNewQuadric();
    StartGlRecording();
    BuildGearLists();
    const auto primitives = StopGlRecording();
    size_t hubWalls = 0;
    for (const RecordedPrimitive& primitive : primitives) {
        bool atHubBore = primitive.mode == GL_QUAD_STRIP && !primitive.vertices.empty();
        for (const RecordedVertex& v : primitive.vertices)
            atHubBore =
                atHubBore && std::fabs(std::hypot(v.position[0], v.position[1]) - 0.2) < 1e-6;
        if (!atHubBore)
            continue;
        EXPECT_EQ(primitive.vertices.size(), 34u);
        ExpectEveryQuadFacesItsNormal({primitive});
        ++hubWalls;
    }
    EXPECT_EQ(hubWalls, 1u);

    // The spokes are checked in pixels: Mesa's feedback from a display list loses a quad
    // batch that follows a quad strip, though it draws it.
    glEnable(GL_CULL_FACE);
    LookAlongAxis(false);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1.0f, 1.0f, 1.0f);
    glCallList(Wheel32List);
    // 8 pixels a unit, centre at 32: spokes 1.5 out along the axes, nothing on the diagonals.
    const int spokePoints[4][2] = {{44, 32}, {32, 44}, {20, 32}, {32, 20}};
    for (const auto& point : spokePoints)
        EXPECT_EQ(ReadPixel(point[0], point[1]).r, 255) << point[0] << ", " << point[1];
    const int gapPoints[4][2] = {{40, 40}, {24, 40}, {24, 24}, {40, 24}};
    for (const auto& point : gapPoints)
        EXPECT_EQ(ReadPixel(point[0], point[1]).r, 0) << point[0] << ", " << point[1];
    glDisable(GL_CULL_FACE);
    gluDeleteQuadric(Quadric);
    Quadric = nullptr;
}

TEST_F(GearGeometry, ReplayLeavesSmoothShading) {
    const GLuint list = CompileGear(TrainGears[3]);
    glShadeModel(GL_FLAT);
    glCallList(list);
    GLint shadeModel = 0;
    glGetIntegerv(GL_SHADE_MODEL, &shadeModel);
    EXPECT_EQ(shadeModel, GL_SMOOTH);
}

} // namespace
