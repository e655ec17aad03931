// Building blocks of the watch's meshes: surfaces of revolution, an oval ring, per-group
// smooth normals, and the packing of separate pieces into one indexed table.
#pragma once

#include <cstdint>
#include <vector>

struct Vec3 {
    double x, y, z;
};

// One triangle of a piece under construction: corners index the piece's positions, and
// corners of triangles in the same smoothing group share a normal at a shared position.
struct PieceTriangle {
    int Corner[3];
    int Group;
};

// A separate solid (or sheet) of a mesh: it shares no position with any other piece.
struct Piece {
    std::vector<Vec3> Positions;
    std::vector<PieceTriangle> Triangles;
    int GroupCount = 0;
};

// A point of a lathe profile, in the lathe's own frame: distance from the axis and height
// along it. Surfaces meeting at a point keep separate normals (a crease) unless Smooth.
// Flute scales the radius of every second ring vertex, for fluted (knurled) rings.
struct ProfilePoint {
    double Radius;
    double Height;
    bool Smooth = false;
    double Flute = 1.0;
};

// Where a lathe stands: Axis is the unit direction of increasing height, ZeroDirection the
// unit direction (perpendicular to Axis) of angle 0. Angles grow counter-clockwise seen
// from the tip of Axis when Direction is +1, clockwise when it is -1.
struct LatheFrame {
    Vec3 Origin;
    Vec3 Axis;
    Vec3 ZeroDirection;
    int Segments;
    double FirstAngle; // radians
    int Direction;
};

// Turns Profile about the frame's axis. The outside of the surface lies to the right of
// the profile as it runs (with the axis pointing up and the radius to the right), so a
// closed solid runs from the axis outwards, up, and back to the axis. Points on the axis
// (radius 0) become one centre vertex and their bands become fans. Triangles are added
// column by column around the axis; within a column, bands are taken from FirstBand
// towards the start of the profile, then the rest towards its end. Returns each profile
// point's ring of position indices (one index repeated for a point on the axis).
std::vector<std::vector<int>> AddLathe(Piece& piece, const LatheFrame& frame,
                                       const std::vector<ProfilePoint>& profile, int firstBand = 0);

// Closes the first ring of a fluted lathe (Direction +1, an even number of segments, the
// full radius at even indices) with a flat end facing against the axis, without a centre
// vertex: each tooth is cut off as a triangle, then the inner polygon is fanned.
void AddFlutedEndCap(Piece& piece, const std::vector<int>& ring);

// A closed ring of oval section lying in the x-y plane: its centre line is the ellipse of
// semi-axes centreLineX, centreLineY about centre; its section has half-width halfWidth in
// the plane and half-height halfHeight along z, drawn with sides vertices. The centre line
// is cut into quarterSegments[q] pieces in its q-th quadrant, so that both ends of both
// axes carry vertices.
void AddOvalRing(Piece& piece, Vec3 centre, double centreLineX, double centreLineY,
                 double halfWidth, double halfHeight, const int quarterSegments[4], int sides);

// A mesh as it is written out: positions and unit normals as floats, corners indexing both.
struct PackedTriangle {
    int32_t VertexIndex[3];
    int32_t NormalIndex[3];
};
struct PackedMesh {
    std::vector<PackedTriangle> Triangles;
    std::vector<float> Vertices; // x, y, z per vertex
    std::vector<float> Normals;  // x, y, z per normal
};

// Appends piece to mesh. Positions and normals are numbered in the order the triangles
// first use them. A corner's normal is the mean of the unit normals of the triangles of its
// group around its position; equal normals within the piece are stored once, so a flat
// disk needs a single normal.
void AppendPiece(PackedMesh& mesh, const Piece& piece);
