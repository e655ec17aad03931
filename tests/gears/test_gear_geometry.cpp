// The gear emitters: what they send to the GL, recorded at the link seam.
#include <cmath>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "platform/opengl.h"
#include "scene/gear_geometry.h"
#include "scene/gear_train.h"
#include "scene/scene_state.h"
#include "tests/gears/gl_recording.h"
#include "platform/offscreen_gl.h"

namespace {

// The four gears of the train: teeth, bore and pitch radius.
const struct {
    int32_t teeth;
    float bore, pitch;
} TrainGears[] = {{32, 2.5f, 3.0f}, {24, 1.5f, 2.0f}, {11, 0.0f, 0.8f}, {7, 0.1f, 0.6f}};

struct Vec3 {
    double x, y, z;
};

Vec3 ToVec(const float v[3]) {
    return {v[0], v[1], v[2]};
}
double Dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// The corners of each quad in the order the GL walks its edges: a strip's quad k is
// v(2k), v(2k+1), v(2k+3), v(2k+2). The last corner's normal lights a flat-shaded quad.
std::vector<std::vector<RecordedVertex>> SplitIntoQuads(const RecordedPrimitive& primitive) {
    std::vector<std::vector<RecordedVertex>> quads;
    const auto& v = primitive.vertices;
    const bool strip = primitive.mode == GL_QUAD_STRIP;
    if (primitive.mode != GL_QUADS && !strip)
        return quads;
    for (size_t i = 0; i + 3 < v.size(); i += strip ? 2 : 4)
        quads.push_back({v[i], v[i + 1], v[i + 2 + strip], v[i + 3 - strip]});
    return quads;
}

// Twice the quad's area along its facing (Newell's method): it points to the side from
// which the corners run counter-clockwise.
Vec3 GetFacing(const std::vector<RecordedVertex>& quad) {
    Vec3 sum = {0, 0, 0};
    for (size_t i = 0; i < quad.size(); ++i) {
        const float* a = quad[i].position;
        const float* b = quad[(i + 1) % quad.size()].position;
        sum = {sum.x + a[1] * b[2] - a[2] * b[1], sum.y + a[2] * b[0] - a[0] * b[2],
               sum.z + a[0] * b[1] - a[1] * b[0]};
    }
    return sum;
}

// Back faces are culled, so every quad with an area must wind counter-clockwise seen from
// where its lighting normal points: a flat quad's last corner's, a smooth quad's every one.
void ExpectEveryQuadFacesItsNormal(const std::vector<RecordedPrimitive>& primitives) {
    for (size_t p = 0; p < primitives.size(); ++p) {
        const auto quads = SplitIntoQuads(primitives[p]);
        for (size_t q = 0; q < quads.size(); ++q) {
            const Vec3 facing = GetFacing(quads[q]);
            if (Dot(facing, facing) < 1e-18)
                continue;
            for (const RecordedVertex& corner : quads[q]) {
                if (primitives[p].shadeModel != GL_FLAT || &corner == &quads[q].back()) {
                    EXPECT_GT(Dot(facing, ToVec(corner.normal)), 0.0)
                        << "primitive " << p << ", quad " << q;
                }
            }
        }
    }
}

class GearGeometry : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_TRUE(MakeOffscreenContext(64, 64)); }
    static void TearDownTestSuite() { DestroyOffscreenContext(); }

    static std::vector<RecordedPrimitive> RecordGear(int gear) {
        StartGlRecording();
        BuildGear(TrainGears[gear].teeth, TrainGears[gear].bore, TrainGears[gear].pitch, 0.3f,
                  0.3f);
        return StopGlRecording();
    }
};

// Front and back faces, front and back tooth faces and the outline flat, the bore smooth,
// and smooth shading left behind for what draws next.
TEST_F(GearGeometry, GearEmitsSixPrimitivesOf28nPlus12Vertices) {
    for (int gear = 0; gear < 4; ++gear) {
        const size_t n = TrainGears[gear].teeth;
        SCOPED_TRACE(::testing::Message() << n << " teeth");
        glShadeModel(GL_FLAT);
        const auto primitives = RecordGear(gear);
        GLint shadeModel = 0;
        glGetIntegerv(GL_SHADE_MODEL, &shadeModel);
        EXPECT_EQ(shadeModel, GL_SMOOTH);
        ASSERT_EQ(primitives.size(), 6u);
        const GLenum modes[6] = {GL_QUAD_STRIP, GL_QUAD_STRIP, GL_QUADS,
                                 GL_QUADS,      GL_QUAD_STRIP, GL_QUAD_STRIP};
        const size_t counts[6] = {4 * (n + 1), 4 * (n + 1), 4 * n, 4 * n, 8 * n + 2, 4 * n + 2};
        size_t total = 0;
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(primitives[i].mode, modes[i]) << "primitive " << i;
            EXPECT_EQ(primitives[i].vertices.size(), counts[i]) << "primitive " << i;
            EXPECT_EQ(primitives[i].shadeModel, GLenum(i < 5 ? GL_FLAT : GL_SMOOTH));
            total += primitives[i].vertices.size();
        }
        EXPECT_EQ(total, 28 * n + 12);
    }
}

// The four face primitives must also face away from the gear's middle, or culling would
// keep the far face instead of the near one.
TEST_F(GearGeometry, EveryFaceWindsTowardsItsNormalAndOutwards) {
    for (int gear = 0; gear < 4; ++gear) {
        SCOPED_TRACE(TrainGears[gear].teeth);
        const auto primitives = RecordGear(gear);
        ExpectEveryQuadFacesItsNormal(primitives);
        for (int i = 0; i < 4; ++i)
            for (const RecordedVertex& v : primitives.at(i).vertices)
                EXPECT_GT(v.normal[2] * v.position[2], 0.0f) << "primitive " << i;
    }
    // The spokes and the hub of the large wheel, whose inner wall faces the axis.
    Quadric = gluNewQuadric();
    StartGlRecording();
    BuildGearLists();
    ExpectEveryQuadFacesItsNormal(StopGlRecording());
    gluDeleteQuadric(Quadric);
    Quadric = nullptr;
}

// Under flat shading each outline quad is lit by the normal at its last pair: rising flank,
// tip land, falling flank, root land, tooth after tooth. Only the falling flank's normal is
// left at the flank's length, about a third.
TEST_F(GearGeometry, OutlineNormalsAreUnitExceptTheFallingFlank) {
    for (int gear = 0; gear < 4; ++gear) {
        const auto outline = SplitIntoQuads(RecordGear(gear)[4]);
        ASSERT_EQ(outline.size(), 4u * TrainGears[gear].teeth);
        for (size_t q = 0; q < outline.size(); ++q) {
            const float* normal = outline[q].back().normal;
            EXPECT_NEAR(std::sqrt(Dot(ToVec(normal), ToVec(normal))), q % 4 == 2 ? 0.33 : 1.0,
                        q % 4 == 2 ? 0.02 : 1e-6)
                << TrainGears[gear].teeth << " teeth, quad " << q;
            EXPECT_EQ(normal[2], 0.0f);
        }
    }
}

} // namespace
