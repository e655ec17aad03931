// The static body of the watch, recorded once: the polished case, the glass and the dial.
#include "scene/watch_body.h"

#include "scene/scene_state.h"
#include "watch_data/watch_data.h"

namespace {

// Every corner gives its normal before its position, in table order.
void EmitMesh(const ModelMesh& mesh) {
    glBegin(GL_TRIANGLES);
    for (int32_t t = 0; t < mesh.TriangleCount; ++t) {
        const MeshTriangle& triangle = mesh.Triangles[t];
        for (int k = 0; k < 3; ++k) {
            const MeshVector& normal = mesh.Normals[triangle.NormalIndex[k]];
            const MeshVector& vertex = mesh.Vertices[triangle.VertexIndex[k]];
            glNormal3f(normal.x, normal.y, normal.z);
            glVertex3f(vertex.x, vertex.y, vertex.z);
        }
    }
    glEnd();
}

// The case mesh is modelled about 3.3 times smaller than the dial; its front plate lands
// just behind the dial face. No texture coordinates: the caller generates them from the
// normals (sphere map), and the list leaves its placement on the matrix for the glass.
void RecordCase() {
    glBindTexture(GL_TEXTURE_2D, ReflectionTexture);
    glTranslatef(0.0f, 2.0f, -1.1f);
    glScalef(3.3f, 3.3f, 3.3f);
    glColor3f(1.0f, 1.0f, 1.0f);
    EmitMesh(CaseMesh);
}

// Placed inside the case's frame: rim radius 6.971 just over the dial, 0.02 above its
// centre. Drawn over everything with additive blending, so it only brightens.
void RecordGlass() {
    glTranslatef(0.0f, -0.6f, 0.58f);
    glScalef(0.65f, 0.65f, 0.65f);
    glColor4f(0.8f, 0.8f, 0.8f, 0.5f);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    EmitMesh(GlassMesh);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
}

// The dial face (radius 6.8 at z = 0.3, facing +z) with its picture, and a bluish back
// disk facing -z. After the half turn about x, a step of -0.1 along z moves the back disk
// to z = 0.4; culling shows only the face from the front and only the back from behind.
void RecordDial() {
    glBindTexture(GL_TEXTURE_2D, DialTexture);
    glPushMatrix();
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    glTranslatef(0.0f, 0.0f, 0.3f);
    DrawQuadricDisk(0.0, 6.8, 64);
    glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
    glColor3f(0.6f, 0.6f, 0.7f);
    glDisable(GL_TEXTURE_2D);
    glTranslatef(0.0f, 0.0f, -0.1f);
    DrawQuadricDisk(0.0, 6.8, 64);
    glColor3f(1.0f, 1.0f, 1.0f);
    glPopMatrix();
}

} // namespace

void BuildWatchBodyLists() {
    RecordList(CaseList, RecordCase);
    RecordList(GlassList, RecordGlass);
    RecordList(DialList, RecordDial);
}
