// The case and glass tables: what the scene relies on when it walks them into display lists
// (every index resolves, unit normals, winding that agrees with the normals), and the shape
// facts that make the watch fit together (pieces, extents, the glass's creases, the dial).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <set>
#include <utility>
#include <vector>

#include "watch_data/watch_data.h"

namespace {

struct MeshCase {
    const char* Name;
    const ModelMesh* Mesh;
    float Low[3];  // smallest x, y, z of any vertex
    float High[3]; // largest x, y, z
};

void PrintTo(const MeshCase& c, std::ostream* os) {
    *os << c.Name;
}

const MeshCase Meshes[] = {
    {"Case", &CaseMesh, {-2.63407f, -3.25f, -0.472146f}, {2.63407f, 3.25f, 0.472146f}},
    {"Glass", &GlassMesh, {-3.25f, -3.25f, -0.153543f}, {3.25f, 3.25f, 0.153543f}},
};

MeshVector Subtract(MeshVector a, MeshVector b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
MeshVector Cross(MeshVector a, MeshVector b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Dot(MeshVector a, MeshVector b) {
    return double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z;
}

MeshVector Corner(const ModelMesh& mesh, int triangle, int k) {
    return mesh.Vertices[mesh.Triangles[triangle].VertexIndex[k]];
}

// The directed edges of a set of triangles, each once.
std::set<std::pair<int, int>> GetEdges(const ModelMesh& mesh, const std::vector<int>& triangles) {
    std::set<std::pair<int, int>> edges;
    for (int t : triangles)
        for (int k = 0; k < 3; ++k)
            edges.insert(
                {mesh.Triangles[t].VertexIndex[k], mesh.Triangles[t].VertexIndex[(k + 1) % 3]});
    return edges;
}

int CountOpenEdges(const std::set<std::pair<int, int>>& edges) {
    int open = 0;
    for (const auto& edge : edges)
        open += edges.count({edge.second, edge.first}) == 0;
    return open;
}

// The separate pieces of a mesh: sets of triangles joined through shared vertex indices.
std::vector<std::vector<int>> FindPieces(const ModelMesh& mesh) {
    std::vector<int> parent(mesh.VertexCount);
    std::iota(parent.begin(), parent.end(), 0);
    auto root = [&](int v) {
        while (parent[v] != v)
            v = parent[v] = parent[parent[v]];
        return v;
    };
    for (int t = 0; t < mesh.TriangleCount; ++t)
        for (int k = 1; k < 3; ++k)
            parent[root(mesh.Triangles[t].VertexIndex[k])] = root(mesh.Triangles[t].VertexIndex[0]);
    std::map<int, std::vector<int>> byRoot;
    for (int t = 0; t < mesh.TriangleCount; ++t)
        byRoot[root(mesh.Triangles[t].VertexIndex[0])].push_back(t);
    std::vector<std::vector<int>> pieces;
    for (auto& entry : byRoot)
        pieces.push_back(entry.second);
    return pieces;
}

class EveryMesh : public testing::TestWithParam<MeshCase> {};

// Every index resolves and every entry is used; normals are unit; no triangle is degenerate;
// and since back faces are culled, every triangle runs counter-clockwise seen from its
// normals, or it is a hole in the picture.
TEST_P(EveryMesh, TrianglesAreSoundAndFaceTheirNormals) {
    const ModelMesh& mesh = *GetParam().Mesh;
    std::vector<bool> vertexUsed(mesh.VertexCount), normalUsed(mesh.NormalCount);
    for (int t = 0; t < mesh.TriangleCount; ++t) {
        MeshVector normals = {0, 0, 0};
        for (int k = 0; k < 3; ++k) {
            const int v = mesh.Triangles[t].VertexIndex[k];
            const int n = mesh.Triangles[t].NormalIndex[k];
            ASSERT_TRUE(v >= 0 && v < mesh.VertexCount) << "triangle " << t;
            ASSERT_TRUE(n >= 0 && n < mesh.NormalCount) << "triangle " << t;
            vertexUsed[v] = normalUsed[n] = true;
            normals = {normals.x + mesh.Normals[n].x, normals.y + mesh.Normals[n].y,
                       normals.z + mesh.Normals[n].z};
        }
        const MeshVector a = Corner(mesh, t, 0);
        const MeshVector cross =
            Cross(Subtract(Corner(mesh, t, 1), a), Subtract(Corner(mesh, t, 2), a));
        EXPECT_GT(Dot(cross, cross), 1e-20) << "triangle " << t;
        EXPECT_GT(Dot(cross, normals), 0) << "triangle " << t;
    }
    EXPECT_EQ(std::count(vertexUsed.begin(), vertexUsed.end(), false), 0);
    EXPECT_EQ(std::count(normalUsed.begin(), normalUsed.end(), false), 0);
    for (int n = 0; n < mesh.NormalCount; ++n)
        EXPECT_NEAR(std::sqrt(Dot(mesh.Normals[n], mesh.Normals[n])), 1.0, 1e-6) << "normal " << n;
}

TEST_P(EveryMesh, ExtentsMatchTheModel) {
    const ModelMesh& mesh = *GetParam().Mesh;
    for (int c = 0; c < 3; ++c) {
        const auto axis = [c](const MeshVector& v) { return c == 0 ? v.x : c == 1 ? v.y : v.z; };
        float low = 1e9f, high = -1e9f;
        for (int v = 0; v < mesh.VertexCount; ++v) {
            low = std::min(low, axis(mesh.Vertices[v]));
            high = std::max(high, axis(mesh.Vertices[v]));
        }
        EXPECT_NEAR(low, GetParam().Low[c], 1e-5) << "axis " << c;
        EXPECT_NEAR(high, GetParam().High[c], 1e-5) << "axis " << c;
    }
}

// Adjacent triangles must run along their shared edge in opposite directions, so no directed
// edge repeats; the only open edges are the bezel's two and the rims of the two domes, 128
// edges each.
TEST_P(EveryMesh, SurfacesAreConsistentlyWoundWithOnlyTheDesignedOpenEdges) {
    const ModelMesh& mesh = *GetParam().Mesh;
    std::vector<int> all(mesh.TriangleCount);
    std::iota(all.begin(), all.end(), 0);
    const auto edges = GetEdges(mesh, all);
    EXPECT_EQ(edges.size(), 3u * mesh.TriangleCount) << "a directed edge repeats";
    EXPECT_EQ(CountOpenEdges(edges), 256);
}

INSTANTIATE_TEST_SUITE_P(WatchData, EveryMesh, testing::ValuesIn(Meshes),
                         [](const testing::TestParamInfo<MeshCase>& info) {
                             return std::string(info.param.Name);
                         });

// An inside-out piece would still wind consistently with its own normals, but show its
// inside: every closed piece must enclose its solid (six times its signed volume is
// positive). The bezel is the one open piece.
TEST(CaseMesh, IsThirteenSeparatePiecesEveryClosedOneFacingOutwards) {
    const std::vector<std::vector<int>> pieces = FindPieces(CaseMesh);
    ASSERT_EQ(pieces.size(), 13u);
    int open = 0;
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (CountOpenEdges(GetEdges(CaseMesh, pieces[i])) > 0) {
            ++open;
            continue;
        }
        double volume = 0;
        for (int t : pieces[i])
            volume +=
                Dot(Corner(CaseMesh, t, 0), Cross(Corner(CaseMesh, t, 1), Corner(CaseMesh, t, 2)));
        EXPECT_GT(volume, 0) << "piece " << i;
    }
    EXPECT_EQ(open, 1);
}

// Placed as the scene places it (scaled by 3.3, moved by (0, 2, -1.1)), the case stays
// behind the dial's face (z = 0.3) inside the bezel's lip, which overlaps the dial's edge.
TEST(CaseMesh, StaysBehindTheDialFaceAcrossTheDial) {
    for (int v = 0; v < CaseMesh.VertexCount; ++v) {
        const MeshVector p = CaseMesh.Vertices[v];
        if (std::hypot(3.3f * p.x, 2 + 3.3f * p.y) < 6.6) {
            EXPECT_LT(-1.1f + 3.3f * p.z, 0.3f) << "vertex " << v;
        }
    }
}

// Two domes of rings of 128. Each has a centre vertex with the normal (0, 0, 1); the fan's
// corners carry a nearly upright normal and the band's a steeper one, so the crease where
// they meet stays sharp.
TEST(GlassMesh, DomesKeepTheCreaseBetweenFanAndBand) {
    EXPECT_EQ(GlassMesh.TriangleCount, 768);
    EXPECT_EQ(GlassMesh.VertexCount, 514);
    EXPECT_EQ(GlassMesh.NormalCount, 770);
    const std::vector<std::vector<int>> pieces = FindPieces(GlassMesh);
    ASSERT_EQ(pieces.size(), 2u);
    const struct {
        float centreZ;
        double fanNormalZ, bandNormalZ;
    } domes[] = {{0.153543f, 0.99881, 0.5547}, {0.0767715f, 0.99875, 0.4472}};
    for (const auto& dome : domes) {
        SCOPED_TRACE(dome.centreZ);
        int centre = -1;
        for (int v = 0; v < GlassMesh.VertexCount; ++v) {
            const MeshVector p = GlassMesh.Vertices[v];
            if (p.x == 0 && p.y == 0 && std::fabs(p.z - dome.centreZ) < 1e-6f)
                centre = v;
        }
        ASSERT_GE(centre, 0);
        const auto usesCentre = [&](int t) {
            const int32_t* v = GlassMesh.Triangles[t].VertexIndex;
            return v[0] == centre || v[1] == centre || v[2] == centre;
        };
        const auto& piece =
            std::any_of(pieces[0].begin(), pieces[0].end(), usesCentre) ? pieces[0] : pieces[1];
        int fan = 0;
        for (int t : piece) {
            const bool inFan = usesCentre(t);
            fan += inFan;
            for (int k = 0; k < 3; ++k) {
                const MeshVector n = GlassMesh.Normals[GlassMesh.Triangles[t].NormalIndex[k]];
                const bool atCentre = GlassMesh.Triangles[t].VertexIndex[k] == centre;
                EXPECT_NEAR(n.z,
                            atCentre ? 1.0
                            : inFan  ? dome.fanNormalZ
                                     : dome.bandNormalZ,
                            1e-4)
                    << "triangle " << t;
            }
        }
        EXPECT_EQ(fan, 128);
        EXPECT_EQ(piece.size(), 384u);
    }
}

} // namespace
