// libFuzzer target: any bytes as a resource of the fake platform. A failure shows one box and
// begins no texture; a success makes one, every uploaded pixel inside the loader's buffer.
#include "tests/support/fake_platform.h"
#include "platform/opengl.h"

#include "BMP2/bmp2.h"
#include "platform/embedded_resources.h"

#include <cassert>

// No embedded pictures: the fuzzer's bytes are the only resource.
const EmbeddedResource EmbeddedResources[] = {{"", "", nullptr, 0}};
const int EmbeddedResourceCount = 0;

namespace {

int TexturesMade = 0;
volatile unsigned UploadSum; // keeps the upload's reads from being optimised away

} // namespace

void GLAPIENTRY glGenTextures(GLsizei, GLuint* names) {
    names[0] = static_cast<GLuint>(++TexturesMade);
}
void GLAPIENTRY glBindTexture(GLenum, GLuint) {}
void GLAPIENTRY glTexEnvi(GLenum, GLenum, GLint) {}
void GLAPIENTRY glTexParameteri(GLenum, GLenum, GLint) {}

// Rows are 4-byte aligned for the widths the loader accepts: GL reads width x height x 3 bytes.
GLint GLAPIENTRY gluBuild2DMipmaps(GLenum, GLint, GLsizei width, GLsizei height, GLenum format,
                                   GLenum, const void* data) {
    assert(format == GL_RGB && width > 0 && height > 0 && (width * 3) % 4 == 0);
    const auto* bytes = static_cast<const uint8_t*>(data);
    unsigned sum = 0;
    for (size_t i = 0; i < static_cast<size_t>(width) * static_cast<size_t>(height) * 3; ++i)
        sum += bytes[i];
    UploadSum = sum;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fake::Reset();
    fake::AddResource("fuzz", "BMP", std::vector<uint8_t>(data, data + size)); // exact size
    TexturesMade = 0;
    GLuint texture = 7;
    if (LoadBmpTexture("fuzz.bmp", texture))
        assert(fake::Recorded.boxes.empty() && TexturesMade == 1 && texture == 1);
    else
        assert(fake::Recorded.boxes.size() == 1 && TexturesMade == 0 && texture == 7);
    return 0;
}
