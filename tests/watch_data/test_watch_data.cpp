// The case and glass tables, and how they fit the dial once placed.
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

// Each triangle runs counter-clockwise about its normals, or culling makes it a hole. Placed
// (scaled by 3.3, moved by (0, 2, -1.1)), the case stays behind the dial's face at z 0.3; where
// the case and the glass sit in the frame, the scene's tests check.
TEST(WatchData, EveryTriangleResolvesFacesItsNormalsAndFitsTheDial) {
    for (const ModelMesh* mesh : {&CaseMesh, &GlassMesh}) {
        SCOPED_TRACE(mesh == &CaseMesh ? "case" : "glass");
        for (int t = 0; t < mesh->TriangleCount; ++t) {
            const MeshTriangle& triangle = mesh->Triangles[t];
            MeshVector corners[3], normals = {0, 0, 0};
            for (int k = 0; k < 3; ++k) {
                const int v = triangle.VertexIndex[k], n = triangle.NormalIndex[k];
                ASSERT_TRUE(v >= 0 && v < mesh->VertexCount && n >= 0 && n < mesh->NormalCount)
                    << t;
                corners[k] = mesh->Vertices[v];
                normals = {normals.x + mesh->Normals[n].x, normals.y + mesh->Normals[n].y,
                           normals.z + mesh->Normals[n].z};
            }
            const MeshVector cross = GetAreaVector(corners[0], corners[1], corners[2]);
            EXPECT_GT(Dot(cross, cross), 1e-20) << "triangle " << t;
            EXPECT_GT(Dot(cross, normals), 0) << "triangle " << t;
        }
        for (int n = 0; n < mesh->NormalCount; ++n)
            EXPECT_NEAR(Dot(mesh->Normals[n], mesh->Normals[n]), 1.0, 2e-6) << "normal " << n;
    }
    for (int v = 0; v < CaseMesh.VertexCount; ++v) {
        const MeshVector p = CaseMesh.Vertices[v];
        const bool onTheFace = std::hypot(3.3f * p.x, 2 + 3.3f * p.y) < 6.6f;
        EXPECT_FALSE(onTheFace && -1.1f + 3.3f * p.z >= 0.3f) << v;
    }
}

} // namespace
