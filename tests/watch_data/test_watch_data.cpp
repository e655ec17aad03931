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

TEST_P(EveryMesh, IndicesResolveWithinTheirTablesAndEveryEntryIsUsed) {
    const ModelMesh& mesh = *GetParam().Mesh;
    std::vector<bool> vertexUsed(mesh.VertexCount), normalUsed(mesh.NormalCount);
    for (int t = 0; t < mesh.TriangleCount; ++t) {
        for (int k = 0; k < 3; ++k) {
            const int v = mesh.Triangles[t].VertexIndex[k];
            const int n = mesh.Triangles[t].NormalIndex[k];
            ASSERT_TRUE(v >= 0 && v < mesh.VertexCount) << "triangle " << t;
            ASSERT_TRUE(n >= 0 && n < mesh.NormalCount) << "triangle " << t;
            vertexUsed[v] = normalUsed[n] = true;
        }
    }
    EXPECT_EQ(std::count(vertexUsed.begin(), vertexUsed.end(), false), 0);
    EXPECT_EQ(std::count(normalUsed.begin(), normalUsed.end(), false), 0);
}

TEST_P(EveryMesh, NormalsAreUnitAndPositionsFinite) {
    const ModelMesh& mesh = *GetParam().Mesh;
    for (int n = 0; n < mesh.NormalCount; ++n)
        EXPECT_NEAR(std::sqrt(Dot(mesh.Normals[n], mesh.Normals[n])), 1.0, 1e-6) << "normal " << n;
    for (int v = 0; v < mesh.VertexCount; ++v)
        EXPECT_TRUE(std::isfinite(Dot(mesh.Vertices[v], mesh.Vertices[v]))) << "vertex " << v;
}

TEST_P(EveryMesh, NoTriangleRepeatsAVertexOrHasZeroArea) {
    const ModelMesh& mesh = *GetParam().Mesh;
    for (int t = 0; t < mesh.TriangleCount; ++t) {
        const int32_t* v = mesh.Triangles[t].VertexIndex;
        EXPECT_TRUE(v[0] != v[1] && v[1] != v[2] && v[0] != v[2]) << "triangle " << t;
        const MeshVector a = Corner(mesh, t, 0);
        const MeshVector cross =
            Cross(Subtract(Corner(mesh, t, 1), a), Subtract(Corner(mesh, t, 2), a));
        EXPECT_GT(Dot(cross, cross), 1e-20) << "triangle " << t;
    }
}

// Back faces are culled, so a triangle wound the wrong way is a hole in the picture.
TEST_P(EveryMesh, EveryTriangleRunsCounterClockwiseSeenFromItsNormals) {
    const ModelMesh& mesh = *GetParam().Mesh;
    for (int t = 0; t < mesh.TriangleCount; ++t) {
        const MeshVector a = Corner(mesh, t, 0);
        const MeshVector cross =
            Cross(Subtract(Corner(mesh, t, 1), a), Subtract(Corner(mesh, t, 2), a));
        MeshVector sum = {0, 0, 0};
        for (int n : mesh.Triangles[t].NormalIndex)
            sum = {sum.x + mesh.Normals[n].x, sum.y + mesh.Normals[n].y, sum.z + mesh.Normals[n].z};
        EXPECT_GT(Dot(cross, sum), 0) << "triangle " << t;
    }
}

TEST_P(EveryMesh, ExtentsMatchTheModel) {
    const ModelMesh& mesh = *GetParam().Mesh;
    float low[3] = {1e9f, 1e9f, 1e9f}, high[3] = {-1e9f, -1e9f, -1e9f};
    for (int v = 0; v < mesh.VertexCount; ++v) {
        const float p[3] = {mesh.Vertices[v].x, mesh.Vertices[v].y, mesh.Vertices[v].z};
        for (int c = 0; c < 3; ++c) {
            low[c] = std::min(low[c], p[c]);
            high[c] = std::max(high[c], p[c]);
        }
    }
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(low[c], GetParam().Low[c], 1e-5) << "axis " << c;
        EXPECT_NEAR(high[c], GetParam().High[c], 1e-5) << "axis " << c;
    }
}

// Adjacent triangles must run along their shared edge in opposite directions, and no edge
// may join more than two triangles; the only open edges are the bezel's two and the rims
// of the two domes, 128 edges each.
TEST_P(EveryMesh, SurfacesAreConsistentlyWoundWithOnlyTheDesignedOpenEdges) {
    const ModelMesh& mesh = *GetParam().Mesh;
    std::set<std::pair<int, int>> directed;
    for (int t = 0; t < mesh.TriangleCount; ++t)
        for (int k = 0; k < 3; ++k) {
            const std::pair<int, int> edge = {mesh.Triangles[t].VertexIndex[k],
                                              mesh.Triangles[t].VertexIndex[(k + 1) % 3]};
            EXPECT_TRUE(directed.insert(edge).second)
                << "triangle " << t << " repeats edge " << edge.first << "-" << edge.second;
        }
    int open = 0;
    for (const auto& edge : directed)
        open += directed.count({edge.second, edge.first}) == 0;
    EXPECT_EQ(open, 256);
}

INSTANTIATE_TEST_SUITE_P(WatchData, EveryMesh, testing::ValuesIn(Meshes),
                         [](const testing::TestParamInfo<MeshCase>& info) {
                             return std::string(info.param.Name);
                         });

// Six times the signed volume enclosed by a set of triangles: positive when they face
// outwards.
double SignedVolume(const ModelMesh& mesh, const std::vector<int>& triangles) {
    double volume = 0;
    for (int t : triangles)
        volume += Dot(Corner(mesh, t, 0), Cross(Corner(mesh, t, 1), Corner(mesh, t, 2)));
    return volume;
}

bool IsClosed(const ModelMesh& mesh, const std::vector<int>& triangles) {
    std::set<std::pair<int, int>> edges;
    for (int t : triangles)
        for (int k = 0; k < 3; ++k)
            edges.insert(
                {mesh.Triangles[t].VertexIndex[k], mesh.Triangles[t].VertexIndex[(k + 1) % 3]});
    for (const auto& edge : edges)
        if (edges.count({edge.second, edge.first}) == 0)
            return false;
    return true;
}

// An inside-out piece would still wind consistently with its own normals, but show its
// inside: every closed piece must enclose its solid. The bezel is the one open piece.
TEST(CaseMesh, IsThirteenSeparatePiecesEveryClosedOneFacingOutwards) {
    const std::vector<std::vector<int>> pieces = FindPieces(CaseMesh);
    ASSERT_EQ(pieces.size(), 13u);
    int open = 0;
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (!IsClosed(CaseMesh, pieces[i])) {
            ++open;
            continue;
        }
        EXPECT_GT(SignedVolume(CaseMesh, pieces[i]), 0) << "piece " << i;
    }
    EXPECT_EQ(open, 1);
}

// Placed as the scene places them: the case scaled by 3.3 and moved by (0, 2, -1.1), the
// glass further scaled by 0.65 and moved by (0, -0.6, 0.58) inside the case's frame.
MeshVector PlaceCaseVertex(MeshVector v) {
    return {3.3f * v.x, 2 + 3.3f * v.y, -1.1f + 3.3f * v.z};
}
MeshVector PlaceGlassVertex(MeshVector v) {
    return PlaceCaseVertex({0.65f * v.x, -0.6f + 0.65f * v.y, 0.58f + 0.65f * v.z});
}

TEST(CaseMesh, StaysBehindTheDialFaceAcrossTheDial) {
    const double dialZ = 0.3;
    const double openRadius = 6.6; // inside the bezel's lip, which overlaps the dial's edge
    for (int v = 0; v < CaseMesh.VertexCount; ++v) {
        const MeshVector p = PlaceCaseVertex(CaseMesh.Vertices[v]);
        if (std::hypot(p.x, p.y) < openRadius) {
            EXPECT_LT(p.z, dialZ) << "vertex " << v;
        }
    }
}

TEST(GlassMesh, CoversTheWholeDialInFrontOfIt) {
    double rim = 0, nearest = 1e9, farthest = -1e9;
    for (int v = 0; v < GlassMesh.VertexCount; ++v) {
        const MeshVector p = PlaceGlassVertex(GlassMesh.Vertices[v]);
        rim = std::max(rim, std::hypot(p.x, p.y - 0.02));
        nearest = std::min<double>(nearest, p.z);
        farthest = std::max<double>(farthest, p.z);
    }
    EXPECT_NEAR(rim, 6.971, 1e-3);
    EXPECT_GT(rim, 6.8);
    EXPECT_NEAR(nearest, 0.4847, 1e-3);
    EXPECT_NEAR(farthest, 1.1433, 1e-3);
}

TEST(GlassMesh, HasTwoDomesOfRingsOf128) {
    EXPECT_EQ(GlassMesh.TriangleCount, 768);
    EXPECT_EQ(GlassMesh.VertexCount, 514);
    EXPECT_EQ(GlassMesh.NormalCount, 770);
    EXPECT_EQ(FindPieces(GlassMesh).size(), 2u);
}

// Each dome: its centre vertex with the normal (0, 0, 1); the fan's corners carry a nearly
// upright normal and the band's a steeper one, so the crease where they meet stays sharp.
struct Dome {
    float CentreZ;
    double FanNormalZ;
    double BandNormalZ;
};

TEST(GlassMesh, DomesKeepTheCreaseBetweenFanAndBand) {
    const Dome domes[] = {{0.153543f, 0.99881, 0.5547}, {0.0767715f, 0.99875, 0.4472}};
    for (const Dome& dome : domes) {
        SCOPED_TRACE(dome.CentreZ);
        int centre = -1;
        for (int v = 0; v < GlassMesh.VertexCount; ++v) {
            const MeshVector p = GlassMesh.Vertices[v];
            if (p.x == 0 && p.y == 0 && std::fabs(p.z - dome.CentreZ) < 1e-6f)
                centre = v;
        }
        ASSERT_GE(centre, 0);
        int fan = 0, band = 0;
        for (const std::vector<int>& piece : FindPieces(GlassMesh)) {
            const auto usesCentre = [&](int t) {
                const int32_t* v = GlassMesh.Triangles[t].VertexIndex;
                return v[0] == centre || v[1] == centre || v[2] == centre;
            };
            if (std::none_of(piece.begin(), piece.end(), usesCentre))
                continue;
            for (int t : piece) {
                const bool inFan = usesCentre(t);
                (inFan ? fan : band) += 1;
                for (int k = 0; k < 3; ++k) {
                    const MeshVector n = GlassMesh.Normals[GlassMesh.Triangles[t].NormalIndex[k]];
                    if (GlassMesh.Triangles[t].VertexIndex[k] == centre) {
                        EXPECT_EQ(n.x, 0.0f);
                        EXPECT_EQ(n.y, 0.0f);
                        EXPECT_EQ(n.z, 1.0f);
                    } else {
                        EXPECT_NEAR(n.z, inFan ? dome.FanNormalZ : dome.BandNormalZ, 1e-4)
                            << "triangle " << t;
                    }
                }
            }
        }
        EXPECT_EQ(fan, 128);
        EXPECT_EQ(band, 256);
    }
}

} // namespace
