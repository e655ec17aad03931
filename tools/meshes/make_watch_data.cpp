// Writes watch_data/watch_data.cpp: the case and glass tables of the watch, built from the
// dimensions below. Usage: make_watch_data [output.cpp] (standard output without one).
// The same build gives the same bytes on every run: nothing here depends on time, memory
// addresses or hash order.
#include <cerrno>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/meshes/mesh_builder.h"

namespace {

const double Pi = 3.14159265358979323846;

// Every ring of the big round parts and of the glass has this many vertices.
const int RingSegments = 128;

// The body turns about a line parallel to z through (0, BodyAxisY): its widest ring, of
// radius 2.63407, then reaches the case's bottom at y -3.25.
const double BodyAxisY = -0.615931;

// The pendant, crown and bow share a centre plane and a centre line a hair right of x 0.
const double PendantAxisX = 0.0031935;
const double PendantAxisZ = 0.0340625; // midway through the bow's thickness

// Rings start on the 9 o'clock side, so the table opens on the body's widest ring.
LatheFrame MakeBodyFrame() {
    return {{0, BodyAxisY, 0}, {0, 0, 1}, {1, 0, 0}, RingSegments, Pi, +1};
}

// The back cone, the stepped flank up to the front, the front disk, and the raised plate
// that carries the bezel. The plate's frustum shares the front disk's centre vertex, so the
// shell is one piece; its own underside disk is never seen but keeps it closed.
Piece BuildShell() {
    const double front = 0.372747;
    const std::vector<ProfilePoint> profile = {
        {0, -0.472146},
        {2.28616, -0.323047},
        {2.43526, -0.173947},
        {2.53466, -0.124248, true},
        {2.584365, 0.0248507}, // the sharp ridge round the middle
        {2.53466, 0.173949, true},
        {2.43526, 0.223648},
        {2.28616, front},
        {0, front},
        {2.23646, front},
        {2.18676, 0.422446},
        {0, 0.422446},
    };
    const int bandAboveRidge = 4; // each column of triangles starts here, on the ridge
    Piece shell;
    AddLathe(shell, MakeBodyFrame(), profile, bandAboveRidge);
    return shell;
}

// A drum round the shell's middle with a rounded bulge: the widest part of the case.
Piece BuildMiddleBand() {
    const std::vector<ProfilePoint> profile = {
        {0, -0.074548},      {2.584365, -0.074548}, {2.63407, 0.0248507, true},
        {2.584365, 0.12425}, {0, 0.12425},
    };
    Piece band;
    AddLathe(band, MakeBodyFrame(), profile);
    return band;
}

// The ring round the glass: up from the plate to a flat front lip that overhangs inwards.
// Open along both edges, which rest on the plate.
Piece BuildBezel() {
    const double plate = 0.422446;
    const double lip = 0.472146;
    const std::vector<ProfilePoint> profile = {
        {2.13707, plate},
        {2.10393, lip},
        {2.01282, lip},
        {2.03767, plate},
    };
    Piece bezel;
    AddLathe(bezel, MakeBodyFrame(), profile);
    return bezel;
}

// The bow: an oval ring above the body, 0.745 to its sides and 0.419 to its top from its
// centre, the top at y 3.25. It loops round the crown and through the pendant.
Piece BuildBow() {
    const double centreY = 2.83067;
    const double outerSide = 0.74549; // farthest vertex from the centre
    const double outerTop = 3.25 - centreY;
    const double innerTop = 0.34944; // nearest vertex from the centre
    const double halfWidth = (outerTop - innerTop) / 2;
    const double halfHeight = (0.065125 - 0.003) / 2;
    // 98 sections: the lower half, inside the pendant or close to it, gets the odd extra.
    const int quarterSegments[4] = {24, 24, 25, 25};
    Piece bow;
    AddOvalRing(bow, {PendantAxisX, centreY, PendantAxisZ}, outerSide - halfWidth,
                outerTop - halfWidth, halfWidth, halfHeight, quarterSegments, 8);
    return bow;
}

// A part of the pendant stack, turned about the vertical line through the pendant axis.
LatheFrame MakePendantFrame(int segments) {
    return {{PendantAxisX, 0, PendantAxisZ}, {0, 1, 0}, {0, 0, 1}, segments, 0, +1};
}

Piece BuildPendantPart(int segments, const std::vector<ProfilePoint>& profile) {
    Piece part;
    AddLathe(part, MakePendantFrame(segments), profile);
    return part;
}

// The winding crown: fourteen flutes between two flat ends. Its underside, pressed on the
// stem, is closed without a centre vertex.
Piece BuildCrown() {
    const double bottom = 2.655;
    const double top = 2.855;
    const double fluteDepth = 0.911; // groove radius as a part of the ridge radius
    const std::vector<ProfilePoint> profile = {
        {0.155311, bottom, false, fluteDepth},
        {0.155311, top, false, fluteDepth},
        {0, top},
    };
    Piece crown;
    const std::vector<std::vector<int>> rings = AddLathe(crown, MakePendantFrame(28), profile);
    AddFlutedEndCap(crown, rings[0]);
    return crown;
}

// A pivot of the bow on one side of the pendant, turned about a horizontal line through
// the bow's ends; side is -1 (left) or +1 (right).
Piece BuildBowPivot(int side) {
    const double inner = 0.1552405; // from the pendant axis: touching the pendant's knuckle
    const double outer = 0.2795595;
    const LatheFrame frame = {
        {PendantAxisX, 2.4812, PendantAxisZ}, {double(side), 0, 0}, {0, 1, 0}, 18, 0, +1};
    const std::vector<ProfilePoint> profile = {
        {0, inner}, {0.052, inner}, {0.062, (inner + outer) / 2, true}, {0.048, outer}, {0, outer},
    };
    Piece pivot;
    AddLathe(pivot, frame, profile);
    return pivot;
}

// From the body up: neck, collar, sleeve, the knuckle that holds the bow, stem, crown,
// crown button; then the bow's two pivots.
std::vector<Piece> BuildPendantAndCrown() {
    std::vector<Piece> parts;
    parts.push_back(BuildPendantPart(27, {{0, 1.8755}, {0.1, 1.8755}, {0.1, 2.0851}, {0, 2.0851}}));
    parts.push_back(BuildPendantPart(
        18, {{0, 2.075}, {0.118, 2.075}, {0.136, 2.12, true}, {0.118, 2.165}, {0, 2.165}}));
    parts.push_back(BuildPendantPart(27, {{0, 2.16}, {0.108, 2.16}, {0.108, 2.39}, {0, 2.39}}));
    parts.push_back(BuildPendantPart(
        18, {{0, 2.3802}, {0.13, 2.3802}, {0.155311, 2.4812, true}, {0.13, 2.5822}, {0, 2.5822}}));
    parts.push_back(BuildPendantPart(27, {{0, 2.575}, {0.055, 2.575}, {0.055, 2.665}, {0, 2.665}}));
    parts.push_back(BuildCrown());
    parts.push_back(BuildPendantPart(
        18, {{0, 2.84905}, {0.11, 2.84905}, {0.11, 2.895}, {0.075, 2.935, true}, {0, 2.94715}}));
    parts.push_back(BuildBowPivot(-1));
    parts.push_back(BuildBowPivot(+1));
    return parts;
}

PackedMesh BuildCaseMesh() {
    PackedMesh mesh;
    AppendPiece(mesh, BuildShell());
    AppendPiece(mesh, BuildMiddleBand());
    AppendPiece(mesh, BuildBezel());
    AppendPiece(mesh, BuildBow());
    for (const Piece& part : BuildPendantAndCrown())
        AppendPiece(mesh, part);
    return mesh;
}

// A dome of the glass: a shallow cone from its centre to a ring, then a steeper band down
// to its edge, with a sharp crease between them. The rings run clockwise from just past
// 9 o'clock so that the table opens on the outer dome's crease.
Piece BuildGlassDome(double centreZ, double creaseRadius, double creaseZ, double edgeRadius,
                     double edgeZ) {
    const LatheFrame frame = {
        {0, 0, 0}, {0, 0, 1}, {1, 0, 0}, RingSegments, Pi + 2 * Pi / RingSegments, -1};
    Piece dome;
    AddLathe(dome, frame, {{edgeRadius, edgeZ}, {creaseRadius, creaseZ}, {0, centreZ}});
    return dome;
}

PackedMesh BuildGlassMesh() {
    const double apex = 0.153543;
    PackedMesh mesh;
    AppendPiece(mesh, BuildGlassDome(apex, 3.14763, 0, 3.25, -apex));
    AppendPiece(mesh, BuildGlassDome(apex / 2, 3.07086, -apex / 2, 3.10924, -apex));
    return mesh;
}

// The invariants the scene relies on; a table that breaks one is not written.
bool CheckMesh(const char* name, const PackedMesh& mesh) {
    const int vertexCount = static_cast<int>(mesh.Vertices.size() / 3);
    const int normalCount = static_cast<int>(mesh.Normals.size() / 3);
    for (size_t t = 0; t < mesh.Triangles.size(); ++t) {
        const PackedTriangle& triangle = mesh.Triangles[t];
        double p[3][3];
        double normalSum[3] = {0, 0, 0};
        for (int k = 0; k < 3; ++k) {
            const int v = triangle.VertexIndex[k];
            const int n = triangle.NormalIndex[k];
            if (v < 0 || v >= vertexCount || n < 0 || n >= normalCount) {
                std::fprintf(stderr, "%s triangle %zu: index out of range\n", name, t);
                return false;
            }
            for (int c = 0; c < 3; ++c) {
                p[k][c] = mesh.Vertices[3 * v + c];
                normalSum[c] += mesh.Normals[3 * n + c];
            }
        }
        const double e1[3] = {p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]};
        const double e2[3] = {p[2][0] - p[0][0], p[2][1] - p[0][1], p[2][2] - p[0][2]};
        const double cross[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                                 e1[0] * e2[1] - e1[1] * e2[0]};
        const double facing =
            cross[0] * normalSum[0] + cross[1] * normalSum[1] + cross[2] * normalSum[2];
        if (!(facing > 0)) {
            std::fprintf(stderr, "%s triangle %zu: wound against its normals\n", name, t);
            return false;
        }
    }
    for (int n = 0; n < normalCount; ++n) {
        const float* v = &mesh.Normals[3 * n];
        const double length =
            std::sqrt(double(v[0]) * v[0] + double(v[1]) * v[1] + double(v[2]) * v[2]);
        if (std::fabs(length - 1) > 1e-6) {
            std::fprintf(stderr, "%s normal %d: length %.9g\n", name, n, length);
            return false;
        }
    }
    return true;
}

// Nine significant digits carry a float exactly; the suffix keeps every literal a float.
std::string FormatFloat(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    std::string literal = text;
    if (literal.find_first_of(".e") == std::string::npos)
        literal += ".0";
    return literal + "f";
}

void WriteVectors(FILE* out, const char* name, const std::vector<float>& values) {
    std::fprintf(out, "const MeshVector %s[%zu] = {\n", name, values.size() / 3);
    for (size_t i = 0; i < values.size(); i += 3)
        std::fprintf(out, "    {%s, %s, %s},\n", FormatFloat(values[i]).c_str(),
                     FormatFloat(values[i + 1]).c_str(), FormatFloat(values[i + 2]).c_str());
    std::fprintf(out, "};\n\n");
}

void WriteMesh(FILE* out, const char* name, const PackedMesh& mesh) {
    std::fprintf(out, "const MeshTriangle %sTriangles[%zu] = {\n", name, mesh.Triangles.size());
    for (const PackedTriangle& t : mesh.Triangles)
        std::fprintf(out,
                     "    {{%" PRId32 ", %" PRId32 ", %" PRId32 "}, {%" PRId32 ", %" PRId32
                     ", %" PRId32 "}},\n",
                     t.VertexIndex[0], t.VertexIndex[1], t.VertexIndex[2], t.NormalIndex[0],
                     t.NormalIndex[1], t.NormalIndex[2]);
    std::fprintf(out, "};\n\n");
    WriteVectors(out, (std::string(name) + "Vertices").c_str(), mesh.Vertices);
    WriteVectors(out, (std::string(name) + "Normals").c_str(), mesh.Normals);
}

void WriteSource(FILE* out, const PackedMesh& caseMesh, const PackedMesh& glassMesh) {
    std::fprintf(out, "// Generated by tools/meshes/make_watch_data; do not edit. Regenerate with\n"
                      "// `make_watch_data watch_data/watch_data.cpp` from the repository root.\n"
                      "#include \"watch_data/watch_data.h\"\n\n"
                      "namespace {\n\n");
    WriteMesh(out, "Case", caseMesh);
    WriteMesh(out, "Glass", glassMesh);
    std::fprintf(out, "} // namespace\n\n");
    for (const auto& [name, mesh] :
         {std::make_pair("Case", &caseMesh), std::make_pair("Glass", &glassMesh)})
        std::fprintf(
            out, "const ModelMesh %sMesh = {%sTriangles, %zu, %sVertices, %zu, %sNormals, %zu};\n",
            name, name, mesh->Triangles.size(), name, mesh->Vertices.size() / 3, name,
            mesh->Normals.size() / 3);
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 2) {
        std::fprintf(stderr, "usage: %s [output.cpp]\n", argv[0]);
        return 2;
    }
    const PackedMesh caseMesh = BuildCaseMesh();
    const PackedMesh glassMesh = BuildGlassMesh();
    if (!CheckMesh("case", caseMesh) || !CheckMesh("glass", glassMesh))
        return 1;
    FILE* out = argc == 2 ? std::fopen(argv[1], "wb") : stdout;
    if (out == nullptr) {
        std::fprintf(stderr, "%s: cannot write %s: %s\n", argv[0], argv[1], std::strerror(errno));
        return 1;
    }
    WriteSource(out, caseMesh, glassMesh);
    const bool failed = std::ferror(out) != 0;
    if ((out == stdout ? std::fflush(out) != 0 : std::fclose(out) != 0) || failed) {
        std::fprintf(stderr, "%s: writing failed\n", argv[0]);
        return 1;
    }
    return 0;
}
