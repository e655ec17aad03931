// libFuzzer target: any bytes as the "BMP" resource. A failure shows one box and begins no
// texture; a success makes one, every uploaded pixel inside the loader's buffer.
#include "platform/win32.h"
#include "platform/opengl.h"

#include "BMP2/bmp2.h"

#include <cassert>
#include <cstring>
#include <vector>

namespace {

std::vector<uint8_t> Resource; // exactly the input's bytes, so a read past them is caught
int BoxCount = 0, TexturesMade = 0;
volatile unsigned UploadSum; // keeps the upload's reads from being optimised away

} // namespace

HRSRC FindResourceA(HMODULE, LPCSTR name, LPCSTR type) {
    const bool found = std::strcmp(name, "fuzz") == 0 && std::strcmp(type, "BMP") == 0;
    return found ? reinterpret_cast<HRSRC>(&Resource) : nullptr;
}
HGLOBAL LoadResource(HMODULE, HRSRC resource) {
    return resource;
}
LPVOID LockResource(HGLOBAL) {
    static uint8_t empty = 0; // a zero-length resource still locks to an address, as in Win32
    return Resource.empty() ? &empty : Resource.data();
}
DWORD SizeofResource(HMODULE, HRSRC) {
    return static_cast<DWORD>(Resource.size());
}

int MessageBoxA(HWND, LPCSTR, LPCSTR, UINT) {
    ++BoxCount;
    return 1; // IDOK
}

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
    Resource.assign(data, data + size);
    Resource.shrink_to_fit();
    BoxCount = TexturesMade = 0;
    GLuint texture = 7;
    if (LoadBmpTexture("fuzz.bmp", texture))
        assert(BoxCount == 0 && TexturesMade == 1 && texture == 1);
    else
        assert(BoxCount == 1 && TexturesMade == 0 && texture == 7);
    return 0;
}
