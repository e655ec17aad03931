// The watch's two triangle meshes, constant tables inside the program.
#pragma once

#include <cstdint>

struct MeshVector {
    float x, y, z; // a position in model units, or a unit normal
};

struct MeshTriangle {
    int32_t VertexIndex[3]; // corner positions, into the mesh's Vertices
    int32_t NormalIndex[3]; // corner normals, into the mesh's Normals, same corner order
};

struct ModelMesh {
    const MeshTriangle* Triangles;
    int32_t TriangleCount;
    const MeshVector* Vertices;
    int32_t VertexCount;
    const MeshVector* Normals;
    int32_t NormalCount;
};

extern const ModelMesh CaseMesh;  // the metal case with its bow, pendant and crown
extern const ModelMesh GlassMesh; // the two-dome glass

static_assert(sizeof(MeshVector) == 12, "three floats, nothing between");
static_assert(sizeof(MeshTriangle) == 24, "six 32-bit indices");
