#include "tools/meshes/mesh_builder.h"

#include <cmath>
#include <cstring>
#include <map>
#include <tuple>
#include <utility>

namespace {

const double Pi = 3.14159265358979323846;

Vec3 AddVectors(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec3 SubtractVectors(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3 ScaleVector(Vec3 a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
Vec3 CrossVectors(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vec3 NormaliseVector(Vec3 a) {
    return ScaleVector(a, 1.0 / std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z));
}

int AddPosition(Piece& piece, Vec3 position) {
    piece.Positions.push_back(position);
    return static_cast<int>(piece.Positions.size()) - 1;
}

void AddTriangle(Piece& piece, int a, int b, int c, int group) {
    piece.Triangles.push_back({{a, b, c}, group});
}

// Two triangles over the quad between ring positions first[i], first[i + 1] and the
// matching second[i], second[i + 1]; a ring collapsed to one centre vertex leaves one.
void AddQuad(Piece& piece, const std::vector<int>& first, const std::vector<int>& second, int i,
             int next, int group) {
    if (first[i] != first[next])
        AddTriangle(piece, first[i], first[next], second[i], group);
    if (second[i] != second[next])
        AddTriangle(piece, first[next], second[next], second[i], group);
}

std::vector<int> AddRing(Piece& piece, const LatheFrame& frame, const ProfilePoint& point) {
    const Vec3 centre = AddVectors(frame.Origin, ScaleVector(frame.Axis, point.Height));
    if (point.Radius == 0)
        return std::vector<int>(frame.Segments, AddPosition(piece, centre));
    const Vec3 quarterDirection = CrossVectors(frame.Axis, frame.ZeroDirection);
    std::vector<int> ring;
    for (int i = 0; i < frame.Segments; ++i) {
        const double angle = frame.FirstAngle + frame.Direction * 2 * Pi * i / frame.Segments;
        const double radius = point.Radius * (i % 2 == 1 ? point.Flute : 1.0);
        const Vec3 offset = AddVectors(ScaleVector(frame.ZeroDirection, radius * std::cos(angle)),
                                       ScaleVector(quarterDirection, radius * std::sin(angle)));
        ring.push_back(AddPosition(piece, AddVectors(centre, offset)));
    }
    return ring;
}

// The smoothing group of each band: a new group starts at every crease.
std::vector<int> GroupBands(Piece& piece, const std::vector<ProfilePoint>& profile) {
    std::vector<int> groups;
    for (size_t band = 0; band + 1 < profile.size(); ++band) {
        if (band == 0 || !profile[band].Smooth)
            ++piece.GroupCount;
        groups.push_back(piece.GroupCount - 1);
    }
    return groups;
}

std::vector<int> OrderBands(int bandCount, int firstBand) {
    std::vector<int> order;
    for (int band = firstBand; band >= 0; --band)
        order.push_back(band);
    for (int band = firstBand + 1; band < bandCount; ++band)
        order.push_back(band);
    return order;
}

// A float with no negative zero and no rounding noise around zero, so that equal normals
// compare equal bit for bit.
float CleanComponent(double value) {
    if (std::fabs(value) < 1e-12)
        return 0.0f;
    return static_cast<float>(value);
}

using FloatKey = std::tuple<uint32_t, uint32_t, uint32_t>;

FloatKey KeyOf(const float (&v)[3]) {
    uint32_t bits[3];
    std::memcpy(bits, v, sizeof bits);
    return {bits[0], bits[1], bits[2]};
}

// The smooth normal of every (position, group) pair: the mean of the unit normals of the
// group's triangles that meet there.
std::map<std::pair<int, int>, Vec3> AverageGroupNormals(const Piece& piece) {
    std::map<std::pair<int, int>, Vec3> sums;
    for (const PieceTriangle& triangle : piece.Triangles) {
        const Vec3 a = piece.Positions[triangle.Corner[0]];
        const Vec3 b = piece.Positions[triangle.Corner[1]];
        const Vec3 c = piece.Positions[triangle.Corner[2]];
        const Vec3 face =
            NormaliseVector(CrossVectors(SubtractVectors(b, a), SubtractVectors(c, a)));
        for (int corner : triangle.Corner) {
            Vec3& sum =
                sums.emplace(std::make_pair(corner, triangle.Group), Vec3{0, 0, 0}).first->second;
            sum = AddVectors(sum, face);
        }
    }
    for (auto& entry : sums)
        entry.second = NormaliseVector(entry.second);
    return sums;
}

} // namespace

std::vector<std::vector<int>> AddLathe(Piece& piece, const LatheFrame& frame,
                                       const std::vector<ProfilePoint>& profile, int firstBand) {
    std::vector<std::vector<int>> rings;
    for (const ProfilePoint& point : profile)
        rings.push_back(AddRing(piece, frame, point));
    const std::vector<int> groups = GroupBands(piece, profile);
    const std::vector<int> order = OrderBands(static_cast<int>(groups.size()), firstBand);
    for (int i = 0; i < frame.Segments; ++i) {
        const int next = (i + 1) % frame.Segments;
        for (int band : order) {
            // Reversing the angle mirrors the surface; taking the rings the other way
            // round mirrors it back, so the outside stays to the profile's right.
            const std::vector<int>& lower = rings[band];
            const std::vector<int>& upper = rings[band + 1];
            if (frame.Direction > 0)
                AddQuad(piece, lower, upper, i, next, groups[band]);
            else
                AddQuad(piece, upper, lower, i, next, groups[band]);
        }
    }
    return rings;
}

void AddFlutedEndCap(Piece& piece, const std::vector<int>& ring) {
    const int group = piece.GroupCount++;
    const int count = static_cast<int>(ring.size());
    // Seen from outside the end, the ring runs clockwise: corners go by falling index.
    for (int tooth = 0; tooth < count; tooth += 2)
        AddTriangle(piece, ring[tooth + 1], ring[tooth], ring[(tooth + count - 1) % count], group);
    for (int inner = 3; inner + 2 < count; inner += 2)
        AddTriangle(piece, ring[1], ring[inner + 2], ring[inner], group);
}

void AddOvalRing(Piece& piece, Vec3 centre, double centreLineX, double centreLineY,
                 double halfWidth, double halfHeight, const int quarterSegments[4], int sides) {
    std::vector<std::vector<int>> sections;
    for (int quarter = 0; quarter < 4; ++quarter) {
        for (int step = 0; step < quarterSegments[quarter]; ++step) {
            const double t =
                Pi / 2 * (quarter + static_cast<double>(step) / quarterSegments[quarter]);
            const Vec3 onLine = {centre.x + centreLineX * std::cos(t),
                                 centre.y + centreLineY * std::sin(t), centre.z};
            // The ellipse's outward normal, so the section keeps its width all round.
            const Vec3 outward =
                NormaliseVector({centreLineY * std::cos(t), centreLineX * std::sin(t), 0});
            std::vector<int> section;
            for (int side = 0; side < sides; ++side) {
                const double s = 2 * Pi * side / sides;
                const Vec3 offset = AddVectors(ScaleVector(outward, halfWidth * std::cos(s)),
                                               Vec3{0, 0, halfHeight * std::sin(s)});
                section.push_back(AddPosition(piece, AddVectors(onLine, offset)));
            }
            sections.push_back(section);
        }
    }
    const int group = piece.GroupCount++;
    const int count = static_cast<int>(sections.size());
    for (int j = 0; j < count; ++j) {
        const std::vector<int>& here = sections[j];
        const std::vector<int>& ahead = sections[(j + 1) % count];
        for (int side = 0; side < sides; ++side) {
            const int up = (side + 1) % sides;
            AddTriangle(piece, here[side], ahead[side], here[up], group);
            AddTriangle(piece, ahead[side], ahead[up], here[up], group);
        }
    }
}

void AppendPiece(PackedMesh& mesh, const Piece& piece) {
    const std::map<std::pair<int, int>, Vec3> smooth = AverageGroupNormals(piece);
    std::map<int, int> vertexNumbers;
    std::map<FloatKey, int> normalNumbers;
    for (const PieceTriangle& triangle : piece.Triangles) {
        PackedTriangle packed;
        for (int k = 0; k < 3; ++k) {
            const int corner = triangle.Corner[k];
            auto vertex = vertexNumbers.find(corner);
            if (vertex == vertexNumbers.end()) {
                const Vec3 p = piece.Positions[corner];
                vertex =
                    vertexNumbers.emplace(corner, static_cast<int>(mesh.Vertices.size() / 3)).first;
                mesh.Vertices.insert(mesh.Vertices.end(), {CleanComponent(p.x), CleanComponent(p.y),
                                                           CleanComponent(p.z)});
            }
            const Vec3 n = smooth.at({corner, triangle.Group});
            const float normal[3] = {CleanComponent(n.x), CleanComponent(n.y), CleanComponent(n.z)};
            auto known = normalNumbers.find(KeyOf(normal));
            if (known == normalNumbers.end()) {
                known =
                    normalNumbers.emplace(KeyOf(normal), static_cast<int>(mesh.Normals.size() / 3))
                        .first;
                mesh.Normals.insert(mesh.Normals.end(), normal, normal + 3);
            }
            packed.VertexIndex[k] = vertex->second;
            packed.NormalIndex[k] = known->second;
        }
        mesh.Triangles.push_back(packed);
    }
}
