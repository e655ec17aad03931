// The case and glass tables as the scene walks them into display lists, and the way they fit
// the dial once placed.
#include <gtest/gtest.h>

#include <cmath>

#include "watch_data/watch_data.h"

namespace {

// (b - a) x (c - a): twice the triangle's area, pointing to the side it runs anticlockwise.
MeshVector GetAreaVector(MeshVector a, MeshVector b, MeshVector c) {
    const MeshVector u = {b.x - a.x, b.y - a.y, b.z - a.z}, w = {c.x - a.x, c.y - a.y, c.z - a.z};
    return {u.y * w.z - u.z * w.y, u.z * w.x - u.x * w.z, u.x * w.y - u.y * w.x};
}
double Dot(MeshVector a, MeshVector b) {
    return double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z;
}

// How far each mesh reaches from the origin: the case to its middle band's widest
// ring, the top of its bow and the bezel's lip; the glass to its rim and its outer dome's apex.
const struct {
    const char* name;
    const ModelMesh* mesh;
    int triangles, vertices;
    float reach[3];
} Meshes[] = {{"case", &CaseMesh, 6382, 3342, {2.63407f, 3.25f, 0.472146f}},
              {"glass", &GlassMesh, 768, 514, {3.25f, 3.25f, 0.153543f}}};

// Every index resolves, normals are unit, no triangle is degenerate, and each runs
// counter-clockwise about its corner normals, or culling makes it a hole. Placed as the scene
// places it (scaled by 3.3, moved by (0, 2, -1.1)), the case stays behind the dial's face
// (radius 6.8 at z 0.3) inside the bezel, whose lip overlaps the dial's edge.
TEST(WatchData, EveryTriangleResolvesFacesItsNormalsAndFitsTheDial) {
    for (const auto& c : Meshes) {
        SCOPED_TRACE(c.name);
        const ModelMesh& mesh = *c.mesh;
        ASSERT_EQ(mesh.TriangleCount, c.triangles);
        ASSERT_EQ(mesh.VertexCount, c.vertices);
        for (int t = 0; t < mesh.TriangleCount; ++t) {
            const MeshTriangle& triangle = mesh.Triangles[t];
            MeshVector corners[3], normals = {0, 0, 0};
            for (int k = 0; k < 3; ++k) {
                const int v = triangle.VertexIndex[k], n = triangle.NormalIndex[k];
                ASSERT_TRUE(v >= 0 && v < mesh.VertexCount && n >= 0 && n < mesh.NormalCount) << t;
                corners[k] = mesh.Vertices[v];
                normals = {normals.x + mesh.Normals[n].x, normals.y + mesh.Normals[n].y,
                           normals.z + mesh.Normals[n].z};
            }
            const MeshVector cross = GetAreaVector(corners[0], corners[1], corners[2]);
            EXPECT_GT(Dot(cross, cross), 1e-20) << "triangle " << t;
            EXPECT_GT(Dot(cross, normals), 0) << "triangle " << t;
        }
        for (int n = 0; n < mesh.NormalCount; ++n)
            EXPECT_NEAR(Dot(mesh.Normals[n], mesh.Normals[n]), 1.0, 2e-6) << "normal " << n;
        MeshVector reach = {0, 0, 0};
        for (int v = 0; v < mesh.VertexCount; ++v) {
            const MeshVector p = mesh.Vertices[v];
            reach = {std::fmax(reach.x, std::fabs(p.x)), std::fmax(reach.y, std::fabs(p.y)),
                     std::fmax(reach.z, std::fabs(p.z))};
            const bool onTheFace = std::hypot(3.3f * p.x, 2 + 3.3f * p.y) < 6.6f;
            EXPECT_FALSE(&mesh == &CaseMesh && onTheFace && -1.1f + 3.3f * p.z >= 0.3f) << v;
        }
        EXPECT_NEAR(reach.x, c.reach[0], 1e-5);
        EXPECT_NEAR(reach.y, c.reach[1], 1e-5);
        EXPECT_NEAR(reach.z, c.reach[2], 1e-5);
    }
}

} // namespace
